// Loading the plug-in and the studio table for a run.
#include "panelhost/modes/host_setup.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include "panelhost/os/program_path.h"
#include "panelhost/support/file_path.h"
#include "panelhost/support/text_file.h"

Result<HostSetup> prepareHost(const HostOptions& options) {
  HostSetup setup;
  if (!options.layouts.empty()) {
    std::error_code failed;
    if (!std::filesystem::is_directory(filePath(options.layouts), failed)) {
      return fail("--layouts '" + options.layouts + "' is not a folder" +
                  (std::filesystem::exists(filePath(options.layouts), failed) ? "" : ": there is no such folder"));
    }
  }
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
  if (!options.layouts.empty()) {
    setup.layoutFolders = LayoutFolders(options.layouts);
  } else {
    const std::string beside = folderOf(options.plugin);
    std::vector<LayoutFolders::Place> elsewhere;
    const std::string program = programPath();
    if (!program.empty() && folderOf(program) != beside) elsewhere.push_back({"beside panelhost", folderOf(program)});
    if (beside != ".") elsewhere.push_back({"in the current folder", "."});
    setup.layoutFolders = LayoutFolders(beside, "beside the plug-in", std::move(elsewhere));
  }
  setup.pluginLine = describe(setup.plugin->file());
  return Result<HostSetup>(std::move(setup));
}
