// panelhost run: a scenario file, step by step, on a virtual clock.
#include <iostream>
#include <memory>
#include <sstream>

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
  StepRunner runner(session, std::cout);
  const std::string name = fileNameOf(scriptPath);
  std::istringstream script(*text);
  std::string line;
  std::string failure;
  int number = 1;
  bool pending = false;  // `line` is read and not yet run
  // "answer" steps before any other hold from the panel's creation on.
  for (; std::getline(script, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const Result<std::optional<Step>> step = parseStep(line, StepRunner::steps());
    if (step && !*step) continue;
    if (!step || std::string((*step)->kind->name) != "answer") {
      pending = true;
      break;
    }
    std::cout << name << ":" << number << ": " << printable(line) << '\n';
    if (Result<> done = runner.run(**step); !done) {
      std::cerr << printable(scriptPath + ":" + std::to_string(number) + ": failed: " + done.error()) << '\n';
      return ExitStatus::Failed;
    }
  }
  if (Result<> started = session.start(); !started) return cannotStart(options.plugin + ": " + started.error());
  runner.printPanel();

  for (; failure.empty() && !session.layouts().fileFault() && (pending || std::getline(script, line)); ++number) {
    if (!pending && !line.empty() && line.back() == '\r') line.pop_back();  // a file saved with Windows line endings
    pending = false;
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
            return withTraceFlag(command,
                                 [script](const HostOptions& options) { return runScenario(options, *script); });
          }};
}
