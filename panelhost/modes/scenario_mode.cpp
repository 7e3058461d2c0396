// panelhost run: a scenario file, step by step, on a virtual clock.
#include <iostream>
#include <memory>
#include <sstream>

#include <CLI/CLI.hpp>

#include "panelhost/log/transcript.h"
#include "panelhost/modes/modes.h"
#include "panelhost/os/stop_signal.h"
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
  std::istringstream script(*text);
  std::string line;
  std::string failure;
  for (int number = 1; failure.empty() && !session.layouts().fileFault() && std::getline(script, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();  // a file saved with Windows line endings
    const std::string where = scriptPath + ":" + std::to_string(number);
    const Result<std::optional<Step>> step = parseStep(line, StepRunner::steps());
    if (!step) {
      failure = where + ": " + step.error();
    } else if (*step) {
      std::cout << name << ":" << number << ": " << printable(line) << '\n';
      if (Result<> done = runner.run(**step); !done) failure = where + ": failed: " + done.error();
    }
    if (!session.violations().empty()) break;
    if (StopSignal::asked()) {
      // Ctrl+C: between two steps, the panel deleted as at the end.
      std::cout << "panelhost: stopped after " << where << '\n';
      break;
    }
  }
  session.stop();
  std::cout.flush();
  // A layout the panel showed that could not be read stops the run as a
  // bad file given on the command line would.
  if (session.layouts().fileFault()) return cannotStart(*session.layouts().fileFault());
  if (StopSignal::asked()) return verdict(session.violations());
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
