// Loading the plug-in and the device configuration for a run.
#include "panelhost/modes/host_setup.h"

#include "panelhost/support/file_path.h"
#include "panelhost/support/text_file.h"

Result<HostSetup> prepareHost(const HostOptions& options) {
  HostSetup setup;
  setup.plugin = std::make_unique<PluginLibrary>();
  if (Result<> opened = setup.plugin->open(options.plugin); !opened) return opened.failure();
  if (options.devicesFile.empty()) {
    setup.devices = Devices::builtIn();
  } else {
    const Result<std::string> text = readTextFile(options.devicesFile);
    if (!text) return fail("cannot read device configuration '" + options.devicesFile + "': " + text.error());
    Result<Devices> devices = Devices::fromJson(*text);
    if (!devices) return fail("device configuration '" + options.devicesFile + "': " + devices.error());
    setup.devices = std::move(*devices);
  }
  setup.layoutFolder = options.layouts;
  if (setup.layoutFolder.empty()) setup.layoutFolder = folderOf(options.plugin);
  return Result<HostSetup>(std::move(setup));
}
