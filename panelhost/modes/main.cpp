// panelhost: a panel host emulator that loads a script panel plug-in the way
// the control system's panel host does and runs it against simulated devices.
#include <iostream>

#include <CLI/CLI.hpp>

#include "panelhost/modes/modes.h"
#include "panelhost/os/console_output.h"
#include "panelhost/os/stop_signal.h"
#include "panelhost/os/utf8_process.h"
#include "panelhost/steps/step_runner.h"

namespace {

// The help's example, in the words of the system it runs on.
#if defined(_WIN32)
constexpr const char* kPluginExample = "ZUV_OZo.dll";
constexpr const char* kExample = "panelhost run ZUV_OZo.dll --script scenarios\\road_of_one_take.scenario";
#else
constexpr const char* kPluginExample = "ZUV_OZo.so";
constexpr const char* kExample =
    "panelhost run build/dev/panels/Studio_A/ZUV_OZo/ZUV_OZo.so --script "
    "panels/Studio_A/ZUV_OZo/scenarios/road_of_one_take.scenario";
#endif

#if defined(_WIN32)
constexpr const char* kSystem = "Windows";
#else
constexpr const char* kSystem = "Linux";
#endif

}  // namespace

int main(int argc, char** argv) {
  // Ctrl+C and kill first, before any thread starts (the console's writer is
  // one); then the console, each line written whole.
  StopSignal stop;
  Utf8Process process(argc, argv);
  ConsoleOutput console;
  CLI::App app{
      "panelhost: runs a script panel plug-in the way the control system's panel host does, against a\n"
      "simulated studio (the devices of a studio table, such as the panel's own studio.json), so the\n"
      "panel can be tried without the studio.",
      "panelhost"};
  app.require_subcommand(1);
  // Which panelhost this is; the plug-in's own version is on every mode's banner.
  app.set_version_flag("--version", std::string("panelhost ") + PANELHOST_VERSION + " (" +
                                        std::to_string(8 * sizeof(void*)) + "-bit " + kSystem + " program)");
  // Options are "--name" on every system: on Windows, a path such as
  // "/Studio/ZUV_OZo.dll" is a path, not an option "/Studio".
  app.allow_windows_style_options(false);
  app.footer("Steps, for scenario files and the shell:\n" + stepHelp(StepRunner::steps()) +
             "\nExample: " + kExample);

  HostOptions options;
  std::vector<Mode::Run> runs;
  std::string names;
  for (const Mode& mode : modes()) {
    CLI::App* sub = app.add_subcommand(mode.name, mode.description);
    sub->add_option("PLUGIN", options.plugin, std::string("the plug-in library, e.g. ") + kPluginExample)->required()->type_name("FILE");
    sub->add_option("--layouts", options.layouts,
                    "folder given to the panel for its layouts (default: the plug-in's folder)")
        ->type_name("DIR");
    sub->add_option("--devices", options.devicesFile,
                    "the studio table (default: the scenario's 'studio' step, else studio.json beside the plug-in, "
                    "else an empty studio; format: a panel's studio.json)")
        ->type_name("FILE");
    sub->add_flag("--replies", options.replies, "also print the host's replies and their hand-backs");
    runs.push_back(mode.addOptions(*sub));
    names += std::string(names.empty() ? "" : &mode == &modes().back() ? " or " : ", ") + mode.name;
  }

  const std::string first = process.argc() > 1 ? process.argv()[1] : "";
  const auto known = [&](const std::string& name) {
    for (const Mode& mode : modes()) {
      if (name == mode.name) return true;
    }
    return false;
  };
  if (!first.empty() && first[0] != '-' && !known(first)) {
    std::cerr << "panelhost: unknown mode '" << first << "': use " << names << " (see panelhost --help)\n";
    return static_cast<int>(ExitStatus::CannotStart);
  }
  try {
    app.parse(process.argc(), process.argv());
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "panelhost: " << e.what() << " (see panelhost --help)\n";
    return static_cast<int>(ExitStatus::CannotStart);
  }
  for (size_t i = 0; i < modes().size(); ++i) {
    if (!app.got_subcommand(modes()[i].name)) continue;
    const ExitStatus status = runs[i](options);
    // Stopped by Ctrl+C or a kill, once the panel is deleted: as the shell
    // expects of a program it stopped.
    if (StopSignal::bySignal()) return StopSignal::status();
    return static_cast<int>(status);
  }
  return static_cast<int>(ExitStatus::CannotStart);
}
