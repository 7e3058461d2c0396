// panelhost: a panel host emulator that loads a script panel plug-in the way
// the control system's panel host does and runs it against simulated devices.
#include <iostream>

#include <CLI/CLI.hpp>

#include "panelhost/modes.h"
#include "panelhost/step.h"

int main(int argc, char** argv) {
  CLI::App app{
      "panelhost: runs a script panel plug-in (such as ZUV_OZo) the way the control system's panel host\n"
      "does, against a simulated ZIR VESK Packager and ZIR SDI Router, so a panel can be tried without\n"
      "the studio.",
      "panelhost"};
  app.require_subcommand(1);
  app.footer("Steps, for scenario files and the shell:\n" + stepHelp() +
             "\nExample: panelhost run build/dev/panels/Studio_A/ZUV_OZo/ZUV_OZo.so --script "
             "panels/Studio_A/ZUV_OZo/scenarios/road_of_one_take.scenario");

  HostOptions options;
  std::string script;
  auto addCommon = [&](CLI::App* mode) {
    mode->add_option("PLUGIN", options.plugin, "the plug-in library, e.g. ZUV_OZo.so")
        ->required()
        ->type_name("FILE");
    mode->add_option("--layouts", options.layouts,
                     "folder given to the panel for its layouts (default: the plug-in's folder)")
        ->type_name("DIR");
    mode->add_option("--devices", options.devicesFile,
                     "device configuration instead of the built-in studio (format: panelhost/default_devices.json)")
        ->type_name("FILE");
    mode->add_flag("--replies", options.replies, "also print the host's replies and their hand-backs");
  };
  CLI::App* run = app.add_subcommand("run", "run a scenario on a virtual clock and print a transcript");
  addCommon(run);
  run->add_option("--script", script, "the scenario file")->required()->type_name("FILE");
  CLI::App* shell = app.add_subcommand("shell", "type steps at a prompt; timers run on the real clock");
  addCommon(shell);
  int port = 8080;
  CLI::App* web = app.add_subcommand("web", "serve the running panel as a web page on 127.0.0.1; real clock");
  addCommon(web);
  web->add_option("--port", port, "the port to serve on; 0 takes any free port (default: 8080)")
      ->check(CLI::Range(0, 65535))
      ->type_name("N");
  long long events = 1000000;
  unsigned seed = 1;
  CLI::App* soak = app.add_subcommand("soak", "for developers: many random events on a virtual clock; "
                                              "prints speed and memory, fails if memory grows");
  addCommon(soak);
  soak->add_option("--events", events, "how many events to deliver")->capture_default_str();
  soak->add_option("--seed", seed, "seed of the random events")->capture_default_str();

  const std::string mode = argc > 1 ? argv[1] : "";
  if (!mode.empty() && mode[0] != '-' && mode != "run" && mode != "shell" && mode != "web" && mode != "soak") {
    std::cerr << "panelhost: unknown mode '" << argv[1] << "': use run, shell, web or soak (see panelhost --help)\n";
    return 2;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "panelhost: " << e.what() << " (see panelhost --help)\n";
    return 2;
  }
  if (run->parsed()) return runScenario(options, script);
  if (web->parsed()) return runWeb(options, port);
  if (soak->parsed()) return runSoak(options, events, seed);
  return runShell(options);
}
