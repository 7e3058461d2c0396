// panelhost: a panel host emulator that loads a script panel plug-in the way
// the control system's panel host does and runs it against simulated devices.
#include <iostream>

#include <CLI/CLI.hpp>

#include "panelhost/modes/modes.h"
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

}  // namespace

int main(int argc, char** argv) {
  Utf8Process process(argc, argv);
  CLI::App app{
      "panelhost: runs a script panel plug-in the way the control system's panel host does, against a\n"
      "simulated studio (the devices of a studio table, such as the panel's own studio.json), so the\n"
      "panel can be tried without the studio.",
      "panelhost"};
  app.require_subcommand(1);
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
  } catch (const CLI::ParseError& e) {
    std::cerr << "panelhost: " << e.what() << " (see panelhost --help)\n";
    return static_cast<int>(ExitStatus::CannotStart);
  }
  for (size_t i = 0; i < modes().size(); ++i) {
    if (app.got_subcommand(modes()[i].name)) return static_cast<int>(runs[i](options));
  }
  return static_cast<int>(ExitStatus::CannotStart);
}
