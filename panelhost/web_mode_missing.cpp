// panelhost web in a build without Boost.Beast headers that build for its
// target: says so in one line instead of serving.
#include <iostream>

#include "panelhost/modes.h"

ExitStatus runWeb(const HostOptions&) {
  return cannotStart("the web mode is not in this build (it needs the Boost.Beast headers for this target)");
}
