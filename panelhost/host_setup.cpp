// Loading the plug-in and the device configuration for a run.
#include "panelhost/host_setup.h"

#include <fstream>
#include <sstream>

Result<HostSetup> prepareHost(const HostOptions& options) {
  HostSetup setup;
  setup.plugin = std::make_unique<PluginLibrary>();
  if (Result<> opened = setup.plugin->open(options.plugin); !opened) return opened.failure();
  if (options.devicesFile.empty()) {
    setup.devices = Devices::builtIn();
  } else {
    std::ifstream file(options.devicesFile);
    if (!file) return fail("cannot read device configuration '" + options.devicesFile + "'");
    std::ostringstream text;
    text << file.rdbuf();
    Result<Devices> devices = Devices::fromJson(text.str());
    if (!devices) return fail("device configuration '" + options.devicesFile + "': " + devices.error());
    setup.devices = std::move(*devices);
  }
  setup.layoutFolder = options.layouts;
  if (setup.layoutFolder.empty()) {
    const size_t slash = options.plugin.find_last_of('/');
    setup.layoutFolder = slash == std::string::npos ? "." : options.plugin.substr(0, slash);
  }
  return Result<HostSetup>(std::move(setup));
}
