// The ways panelhost runs a panel. Each returns the process's exit status:
// 0 when all went well, 1 when an expectation failed or the panel broke a
// rule of the boundary, 2 when the run could not start.
#pragma once

#include <string>

#include "panelhost/host_setup.h"

// Runs the scenario in `scriptPath` on a virtual clock, printing a transcript.
int runScenario(const HostOptions& options, const std::string& scriptPath);

// Reads steps from standard input, on the real clock.
int runShell(const HostOptions& options);

// Serves the panel as a web page on 127.0.0.1:`port` (0: any free port)
// until SIGINT or SIGTERM.
int runWeb(const HostOptions& options, int port);

// Delivers `events` random events on a virtual clock and reports speed and
// memory; fails when the panel breaks a rule or memory grows.
int runSoak(const HostOptions& options, long long events, unsigned seed);
