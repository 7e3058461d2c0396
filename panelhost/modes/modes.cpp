// The table of modes.
#include "panelhost/modes/modes.h"

#include <memory>

#include <CLI/CLI.hpp>

#include "panelhost/boundary/debug_lines.h"

// Each mode's row, made in the mode's own file.
Mode scenarioMode();  // run: a scenario on a virtual clock, with a transcript
Mode shellMode();     // shell: steps from standard input, on the real clock
Mode webMode();       // web: the panel as a web page until Ctrl+C
Mode soakMode();      // soak: random events; speed and memory
Mode replayMode();    // replay: a session recorded in the plug-in's trace

const std::vector<Mode>& modes() {
  static const std::vector<Mode> kModes = {scenarioMode(), shellMode(), webMode(), soakMode(), replayMode()};
  return kModes;
}

Mode::Run withTraceFlag(CLI::App& command, Mode::Run run) {
  auto trace = std::make_shared<bool>(false);
  command.add_flag("--trace", *trace,
                   "turn the plug-in's trace on (VESK_TRACE=1) and print its lines in the transcript");
  return [trace, run](const HostOptions& options) {
    if (*trace) traceThePlugin();
    return run(options);
  };
}
