// What the host checks of a loaded plug-in; each failure is reported through
// failure() (runtime.h).
#pragma once

#include "host_abi.h"

// Drives panels made by `load` through start-up, the operator's work,
// tallies, timers, properties, stray events and deletion, comparing every
// command each sends, in order, byte for byte; two panels on two hosts at
// once, and one with no host.
void drivePanels(load_vesk_client_script_function load);

// Drives one panel of any kind from start-up to deletion through events
// every panel must take (unknown controls, tallies, timers, properties,
// stray codes, null payloads) without comparing its commands: no host rule
// broken, every reply and answer handed back once, "AS" last.
void driveAnyPanel(load_vesk_client_script_function load);

// Reads the version resource of the DLL at `path` as Windows does
// (GetFileVersionInfo, VerQueryValue) and compares every field: the panel's
// name and description as given, the rest the same for every panel.
void checkVersionResource(const char* path, const char* panel, const char* description);
