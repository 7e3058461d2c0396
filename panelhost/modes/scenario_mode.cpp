// panelhost run: a scenario file, step by step, on a virtual clock.
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

#include "panelhost/log/transcript.h"
#include "panelhost/modes/modes.h"
#include "panelhost/os/stop_signal.h"
#include "panelhost/session/host_session.h"
#include "panelhost/steps/step_runner.h"
#include "panelhost/support/file_path.h"
#include "panelhost/support/input_text.h"
#include "panelhost/support/text.h"
#include "panelhost/support/text_file.h"

namespace {

// The scenario's header: when its first step is `studio TABLE [LAYOUTS]`,
// the options with that table and layout folder (relative to the scenario)
// where the command line gave none, and the header's line number; else the
// options as they are and 0.
std::pair<HostOptions, int> withStudioHeader(HostOptions options, const std::string& scriptPath,
                                             const std::string& text) {
  int number = 0;
  for (const std::string& line : splitLines(text)) {
    ++number;
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

// The steps of a scenario, each with its line number, once every line is a
// step that fits the studio; otherwise every line that is not, one a line,
// "<file>:<line>: <why>".
struct ScenarioStep {
  int line;
  std::string text;
  Step step;
};
Result<std::vector<ScenarioStep>> checkScenario(const std::string& path, const std::string& text,
                                                const Devices& devices, std::string& mistakes) {
  std::vector<ScenarioStep> steps;
  int number = 0;
  int count = 0;
  for (const std::string& line : splitLines(text)) {
    ++number;
    Result<std::optional<Step>> step = parseStep(line, StepRunner::steps());
    Result<> fits = step && *step ? checkStep(**step, devices) : Result<>(Done{});
    const std::string why = !step ? step.error() : !fits ? fits.error() : "";
    if (!why.empty()) {
      mistakes += printable(path + ":" + std::to_string(number) + ": " + why) + "\n";
      ++count;
    } else if (*step) {
      steps.push_back({number, line, std::move(**step)});
    }
  }
  if (count == 0) return steps;
  return fail(std::to_string(count) + (count == 1 ? " mistake" : " mistakes") + " in scenario '" + path +
              "': nothing was run");
}

ExitStatus runScenario(const HostOptions& given, const std::string& scriptPath) {
  const Result<std::string> bytes = readTextFile(scriptPath);
  if (!bytes) return cannotStart("cannot read scenario '" + scriptPath + "': " + bytes.error());
  const Result<std::string> text = inputText(*bytes);
  if (!text) return cannotStart("cannot read scenario '" + scriptPath + "': " + text.error());
  const auto [options, headerLine] = withStudioHeader(given, scriptPath, *text);
  Result<HostSetup> setup = prepareHost(options);
  if (!setup) return cannotStart(setup.error());
  // Every line is checked against the steps and the studio before the
  // panel is created: a mistake on line 40 does not come after 39 lines run.
  std::string mistakes;
  const Result<std::vector<ScenarioStep>> steps = checkScenario(scriptPath, *text, setup->devices, mistakes);
  if (!steps) {
    std::cerr << mistakes;
    return cannotStart(steps.error());
  }
  Transcript transcript(std::cout, options.replies);
  HostSession session(setup->plugin->loader(), setup->layoutFolders, std::move(setup->devices), transcript);
  std::cout << "panelhost: " << options.plugin << " with scenario " << scriptPath << "\n"
            << "panelhost: " << setup->pluginLine << '\n';
  StepRunner runner(session, std::cout);
  const std::string name = fileNameOf(scriptPath);
  std::string failure;
  size_t next = 0;
  // "answer" steps before any other hold from the panel's creation on.
  for (; next < steps->size(); ++next) {
    const ScenarioStep& step = (*steps)[next];
    if (step.line == headerLine) continue;
    if (std::string(step.step.kind->name) != "answer") break;
    std::cout << name << ":" << step.line << ": " << printable(step.text) << '\n';
    if (Result<> done = runner.run(step.step); !done) {
      std::cerr << printable(scriptPath + ":" + std::to_string(step.line) + ": failed: " + done.error()) << '\n';
      return ExitStatus::Failed;
    }
  }
  if (Result<> started = session.start(); !started) return cannotStart(options.plugin + ": " + started.error());
  runner.printPanel();

  for (; next < steps->size(); ++next) {
    const ScenarioStep& step = (*steps)[next];
    if (step.line == headerLine) continue;
    if (!failure.empty() || session.layouts().fileFault()) break;
    std::cout << name << ":" << step.line << ": " << printable(step.text) << '\n';
    if (Result<> done = runner.run(step.step); !done) {
      failure = scriptPath + ":" + std::to_string(step.line) + ": failed: " + done.error();
    }
    if (!session.violations().empty()) break;
    if (StopSignal::asked()) {
      // Ctrl+C: between two steps, the panel deleted as at the end.
      std::cout << "panelhost: stopped after " << scriptPath << ":" << step.line << '\n';
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
    // The likely cause, otherwise only in the transcript above.
    if (session.layouts().missing()) std::cerr << "panelhost: " << *session.layouts().missing() << '\n';
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
