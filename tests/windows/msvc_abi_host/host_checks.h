// What the host checks of a loaded plug-in; each failure is reported through
// failure() (runtime.h).
#pragma once

#include "host_abi.h"

// Drives panels made by `load` through start-up, the operator's work,
// tallies, timers, properties, stray events and deletion, comparing every
// command each sends, in order, byte for byte; two panels on two hosts at
// once, and one with no host.
void drivePanels(load_vesk_client_script_function load);

// Reads the version resource of the DLL at `path` as Windows does
// (GetFileVersionInfo, VerQueryValue) and compares every field.
void checkVersionResource(const char* path);
