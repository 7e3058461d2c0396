// Loading the plug-in and the device configuration for a run.
#include "panelhost/host_setup.h"

#include <fstream>
#include <sstream>

#include "panelhost/file_path.h"

Result<HostSetup> prepareHost(const HostOptions& options) {
  HostSetup setup;
  setup.plugin = std::make_unique<PluginLibrary>();
  if (Result<> opened = setup.plugin->open(options.plugin); !opened) return opened.failure();
  if (options.devicesFile.empty()) {
    setup.devices = Devices::builtIn();
  } else {
    std::ifstream file(filePath(options.devicesFile));
    if (!file) return fail("cannot read device configuration '" + options.devicesFile + "'");
    std::ostringstream text;
    text << file.rdbuf();
    Result<Devices> devices = Devices::fromJson(text.str());
    if (!devices) return fail("device configuration '" + options.devicesFile + "': " + devices.error());
    setup.devices = std::move(*devices);
  }
  setup.layoutFolder = options.layouts;
  if (setup.layoutFolder.empty()) setup.layoutFolder = folderOf(options.plugin);
  return Result<HostSetup>(std::move(setup));
}
