// Loading the plug-in and the device configuration for a run.
#include "panelhost/host_setup.h"

#include <fstream>
#include <sstream>

std::optional<HostSetup> prepareHost(const HostOptions& options, std::string& error) {
  HostSetup setup;
  setup.plugin = std::make_unique<PluginLibrary>();
  if (!setup.plugin->open(options.plugin)) {
    error = setup.plugin->error();
    return std::nullopt;
  }
  if (options.devicesFile.empty()) {
    setup.devices = Devices::builtIn();
  } else {
    std::ifstream file(options.devicesFile);
    if (!file) {
      error = "cannot read device configuration '" + options.devicesFile + "'";
      return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    std::string reason;
    std::optional<Devices> devices = Devices::fromJson(text.str(), reason);
    if (!devices) {
      error = "device configuration '" + options.devicesFile + "': " + reason;
      return std::nullopt;
    }
    setup.devices = std::move(*devices);
  }
  setup.layoutFolder = options.layouts;
  if (setup.layoutFolder.empty()) {
    const size_t slash = options.plugin.find_last_of('/');
    setup.layoutFolder = slash == std::string::npos ? "." : options.plugin.substr(0, slash);
  }
  return setup;
}
