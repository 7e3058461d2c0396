// panelhost run: a scenario file, step by step, on a virtual clock.
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <utility>

#include <CLI/CLI.hpp>

#include "panelhost/log/transcript.h"
#include "panelhost/modes/modes.h"
#include "panelhost/session/host_session.h"
#include "panelhost/steps/step_runner.h"
#include "panelhost/support/file_path.h"
#include "panelhost/support/text.h"
#include "panelhost/support/text_file.h"

namespace {

// The scenario's header: when its first step is `studio TABLE [LAYOUTS]`,
// the options with that table and layout folder (relative to the scenario)
// where the command line gave none, and the header's line number; else the
// options as they are and 0.
std::pair<HostOptions, int> withStudioHeader(HostOptions options, const std::string& scriptPath,
                                             const std::string& text) {
  std::istringstream script(text);
  std::string line;
  for (int number = 1; std::getline(script, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const Result<std::optional<Step>> step = parseStep(line, StepRunner::steps());
    if (step && !*step) continue;  // blank or comment
    if (!step || std::string((*step)->kind->name) != "studio") break;
    const auto besideScenario = [&](const std::string& path) {
      const std::filesystem::path given = filePath(path);
      // "/x" is taken as it is on Windows too, on the current drive.
      if (given.is_absolute() || given.has_root_directory()) return path;
      return (filePath(folderOf(scriptPath)) / given).u8string();
    };
    const Words& words = (*step)->words;
    if (options.devicesFile.empty()) options.devicesFile = besideScenario(words[0]);
    if (options.layouts.empty() && words.size() > 1) options.layouts = besideScenario(words[1]);
    return {options, number};
  }
  return {options, 0};
}

ExitStatus runScenario(const HostOptions& given, const std::string& scriptPath) {
  const Result<std::string> text = readTextFile(scriptPath);
  if (!text) return cannotStart("cannot read scenario '" + scriptPath + "': " + text.error());
  const auto [options, headerLine] = withStudioHeader(given, scriptPath, *text);
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
    } else if (*step && number != headerLine) {
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
