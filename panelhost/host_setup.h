// What every panelhost mode needs before it can run a panel: the plug-in
// loaded, the devices configured, the layout folder chosen.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "hostside/result.h"
#include "panelhost/devices.h"
#include "panelhost/plugin_library.h"

struct HostOptions {
  std::string plugin;       // path of the plug-in library
  std::string layouts;      // folder given to the panel; empty: the plug-in's
  std::string devicesFile;  // device configuration; empty: the built-in one
  bool replies = false;     // print the host's replies in the transcript
  // The options of single modes (see modes.cpp).
  std::string script;       // run: the scenario file
  int port = 8080;          // web: the port; 0 for any free one
  bool open = false;        // web: open the page in the default browser
  long long events = 1000000;  // soak: how many events
  unsigned seed = 1;           // soak: seed of the random events
};

struct HostSetup {
  std::unique_ptr<PluginLibrary> plugin;
  Devices devices;
  std::string layoutFolder;
};

// The setup for `options`, or why there is none.
Result<HostSetup> prepareHost(const HostOptions& options);
