// Loading the plug-in and the studio table for a run.
#include "panelhost/modes/host_setup.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include "panelhost/support/file_path.h"
#include "panelhost/support/text_file.h"

Result<HostSetup> prepareHost(const HostOptions& options) {
  HostSetup setup;
  setup.plugin = std::make_unique<PluginLibrary>();
  if (Result<> opened = setup.plugin->open(options.plugin); !opened) return opened.failure();
  std::string table = options.devicesFile;
  if (table.empty()) {
    const std::string besidePlugin = (filePath(folderOf(options.plugin)) / kPanelStudioFile).u8string();
    std::error_code error;
    if (std::filesystem::is_regular_file(filePath(besidePlugin), error)) {
      table = besidePlugin;
    } else {
      std::cerr << "panelhost: no studio table given and no " << kPanelStudioFile << " beside the plug-in: "
                << "an empty studio (no devices)\n";
    }
  }
  if (!table.empty()) {
    const Result<std::string> text = readTextFile(table);
    if (!text) return fail("cannot read device configuration '" + table + "': " + text.error());
    Result<Devices> devices = Devices::fromJson(*text);
    if (!devices) return fail("device configuration '" + table + "': " + devices.error());
    setup.devices = std::move(*devices);
  }
  setup.layoutFolder = options.layouts;
  if (setup.layoutFolder.empty()) setup.layoutFolder = folderOf(options.plugin);
  return Result<HostSetup>(std::move(setup));
}
