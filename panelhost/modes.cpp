// The table of modes.
#include "panelhost/modes.h"

#include <limits>

#include <CLI/CLI.hpp>

const std::vector<Mode>& modes() {
  static const std::vector<Mode> kModes = {
      {"run", "run a scenario on a virtual clock and print a transcript",
       [](CLI::App& mode, HostOptions& o) {
         mode.add_option("--script", o.script, "the scenario file")->required()->type_name("FILE");
       },
       runScenario},
      {"shell", "type steps at a prompt; timers run on the real clock", [](CLI::App&, HostOptions&) {}, runShell},
      {"web", "serve the running panel as a web page on 127.0.0.1; real clock",
       [](CLI::App& mode, HostOptions& o) {
         mode.add_option("--port", o.port, "the port to serve on; 0 takes any free port (default: 8080)")
             ->check(CLI::Range(0, 65535))
             ->type_name("N");
         mode.add_flag("--open", o.open, "open the page in the default browser once it is served");
       },
       runWeb},
      {"soak",
       "for developers: many random events on a virtual clock; prints speed and memory, fails if memory grows",
       [](CLI::App& mode, HostOptions& o) {
         mode.add_option("--events", o.events, "how many events to deliver (at least 1)")
             ->check(CLI::Range(1LL, std::numeric_limits<long long>::max()))
             ->capture_default_str();
         mode.add_option("--seed", o.seed, "seed of the random events")->capture_default_str();
       },
       runSoak},
  };
  return kModes;
}
