// panelhost web in a build without Boost.Beast headers that build for its
// target: says so in one line instead of serving.
#include "panelhost/modes/modes.h"

Mode webMode() {
  return {"web", "serve the running panel as a web page on 127.0.0.1 (not in this build)", [](CLI::App&) -> Mode::Run {
            return [](const HostOptions&) {
              return cannotStart("the web mode is not in this build (it needs the Boost.Beast headers for this target)");
            };
          }};
}
