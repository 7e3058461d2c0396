// panelhost run: a scenario file, step by step, on a virtual clock.
#include <iostream>
#include <memory>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "panelhost/log/transcript.h"
#include "panelhost/modes/modes.h"
#include "panelhost/session/host_session.h"
#include "panelhost/steps/step_runner.h"
#include "panelhost/support/file_path.h"
#include "panelhost/support/text.h"
#include "panelhost/support/text_file.h"

namespace {

ExitStatus runScenario(const HostOptions& options, const std::string& scriptPath) {
  const Result<std::string> text = readTextFile(scriptPath);
  if (!text) return cannotStart("cannot read scenario '" + scriptPath + "': " + text.error());
  Result<HostSetup> setup = prepareHost(options);
  if (!setup) return cannotStart(setup.error());
  Transcript transcript(std::cout, options.replies);
  HostSession session(setup->plugin->loader(), setup->layoutFolder, std::move(setup->devices), transcript);
  std::cout << "panelhost: " << options.plugin << " with scenario " << scriptPath << '\n';
  if (Result<> started = session.start(); !started) return cannotStart(options.plugin + ": " + started.error());
  StepRunner runner(session, std::cout);
  runner.printPanel();

  const std::string name = fileNameOf(scriptPath);
  // Lines may end as on any system: "\n", "\r\n" or "\r".
  const std::vector<std::string_view> lines = textLines(*text);
  std::string failure;
  for (size_t at = 0; failure.empty() && !session.layouts().fileFault() && at < lines.size(); ++at) {
    const std::string line(lines[at]);
    const size_t number = at + 1;
    const std::string where = scriptPath + ":" + std::to_string(number);
    const Result<std::optional<Step>> step = parseStep(line, StepRunner::steps());
    if (!step) {
      failure = where + ": " + step.error();
    } else if (*step) {
      std::cout << name << ":" << number << ": " << printable(line) << '\n';
      if (Result<> done = runner.run(**step); !done) failure = where + ": failed: " + done.error();
    }
    if (!session.violations().empty()) break;
  }
  session.stop();
  std::cout.flush();
  // A layout the panel showed that could not be read stops the run as a
  // bad file given on the command line would.
  if (session.layouts().fileFault()) return cannotStart(*session.layouts().fileFault());
  if (!failure.empty()) {
    std::cerr << printable(failure) << '\n';
    return ExitStatus::Failed;
  }
  const ExitStatus status = verdict(session.violations());
  if (status == ExitStatus::Passed) std::cout << "panelhost: scenario passed\n";
  return status;
}

}  // namespace

Mode scenarioMode() {
  return {"run", "run a scenario on a virtual clock and print a transcript", [](CLI::App& command) -> Mode::Run {
            auto script = std::make_shared<std::string>();
            command.add_option("--script", *script, "the scenario file")->required()->type_name("FILE");
            return [script](const HostOptions& options) { return runScenario(options, *script); };
          }};
}
