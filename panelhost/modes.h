// The ways panelhost runs a panel, as one table: each mode's name, what it
// does, the options of its own, and its run function. main() builds the
// command line from it, so a new mode is one row and one run function.
#pragma once

#include <iostream>
#include <string>
#include <vector>

#include "panelhost/host_setup.h"

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
  const char* name;
  const char* description;
  // Adds the mode's own options (beyond PLUGIN, --layouts, --devices and
  // --replies), stored in `options`.
  void (*addOptions)(CLI::App& mode, HostOptions& options);
  ExitStatus (*run)(const HostOptions& options);
};

// Every mode, in the order the help lists them.
const std::vector<Mode>& modes();

// The modes' run functions, one file each.
ExitStatus runScenario(const HostOptions& options);  // a scenario on a virtual clock, with a transcript
ExitStatus runShell(const HostOptions& options);     // steps from standard input, on the real clock
ExitStatus runWeb(const HostOptions& options);       // the panel as a web page until SIGINT or SIGTERM
ExitStatus runSoak(const HostOptions& options);      // random events: speed and memory

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
