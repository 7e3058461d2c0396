// panelhost web in a build without cpp-httplib for its target (such as a
// 32-bit build on a 64-bit machine): says so in one line instead of serving.
#include <iostream>

#include "panelhost/modes.h"

ExitStatus runWeb(const HostOptions&) {
  return cannotStart("the web mode is not in this build (it needs cpp-httplib for this target)");
}
