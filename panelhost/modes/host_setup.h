// What every panelhost mode needs before it can run a panel: the plug-in
// loaded, the studio's devices read, the layout folder chosen.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "hostside/result.h"
#include "panelhost/boundary/plugin_library.h"
#include "panelhost/session/shown_layouts.h"
#include "panelhost/studio/devices.h"

// The options every mode takes; each mode holds its own (modes.h).
struct HostOptions {
  std::string plugin;       // path of the plug-in library
  std::string layouts;      // folder given to the panel; empty: the plug-in's
  std::string devicesFile;  // the studio table; empty: studio.json beside the plug-in, if there
  bool replies = false;     // print the host's replies in the transcript
};

struct HostSetup {
  std::unique_ptr<PluginLibrary> plugin;
  Devices devices;
  // The folder given to the panel: --layouts, or the plug-in's own, where
  // a layout missing from the plug-in's folder is looked for beside
  // panelhost and in the current folder too.
  LayoutFolders layoutFolders{""};
  // The line every mode's banner prints after its own: which plug-in file
  // this is (PluginLibrary::file()).
  std::string pluginLine;
};

// The studio table panelhost takes when it is given none: beside the
// plug-in, where the build puts each panel's own.
inline constexpr const char* kPanelStudioFile = "studio.json";

// The setup for `options`, or why there is none: a --layouts folder that
// is not there is refused before anything runs. With no studio table given
// and none beside the plug-in, the studio is empty, and a line on standard
// error says so.
Result<HostSetup> prepareHost(const HostOptions& options);
