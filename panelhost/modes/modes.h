// The ways panelhost runs a panel, as one table: each mode's name, what it
// does, and how it adds the options of its own and runs with them. main()
// builds the command line from it, so a new mode is its own file, which
// makes its row, and that row in the table (modes.cpp).
#pragma once

#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "panelhost/modes/host_setup.h"

namespace CLI {
class App;
}

// The process's exit status, in every mode.
enum class ExitStatus : int {
  Passed = 0,       // all went well
  Failed = 1,       // an expectation failed, the panel broke a rule, or memory grew
  CannotStart = 2,  // the run could not start: a bad option, file or plug-in
};

struct Mode {
  // Runs the mode with the options every mode takes; the mode's own are
  // held by the function.
  using Run = std::function<ExitStatus(const HostOptions& options)>;

  const char* name;
  const char* description;
  // Adds the mode's own options (beyond PLUGIN, --layouts, --devices and
  // --replies) to its command, and returns how to run it with them once
  // the command line has been read.
  Run (*addOptions)(CLI::App& command);
};

// Every mode, in the order the help lists them.
const std::vector<Mode>& modes();

// Adds "--trace" to a mode's command: the plug-in's trace turned on for the
// run (framework/vesk_trace.h), its lines in the transcript. Returns `run`
// with the trace turned on first when the flag is given.
Mode::Run withTraceFlag(CLI::App& command, Mode::Run run);

// What every mode says when it cannot start: "panelhost: <reason>".
inline ExitStatus cannotStart(const std::string& reason) {
  std::cerr << "panelhost: " << reason << '\n';
  return ExitStatus::CannotStart;
}

// The end of a run: Failed, naming the first violation, if there was any.
inline ExitStatus verdict(const std::vector<std::string>& violations) {
  if (violations.empty()) return ExitStatus::Passed;
  std::cerr << "panelhost: the panel broke the host's rules: " << violations.front() << '\n';
  return ExitStatus::Failed;
}
