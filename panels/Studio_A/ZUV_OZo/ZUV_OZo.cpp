// ZUV_OZo: start-up and shut-down.
#include "panels/Studio_A/ZUV_OZo/ZUV_OZo.h"

namespace {
constexpr int kFirstTally = ZUV_OZo::kRouterDestBase + 1;
constexpr int kLastTally = ZUV_OZo::kRouterDestBase + ZUV_OZo::kMonitors;
}  // namespace

ZUV_OZo::ZUV_OZo(client_host* hostInterface, const char* path)
    : vesk_script_helper(hostInterface, path, "ZUV_OZo") {
  // A failed lookup leaves the number 0; start-up goes on with it.
  lookUp(kPackagerName, packagerDevice);
  lookUp(kRouterName, routerDevice);
  openPanel(kPanelId, kLayoutFile, "");
  textSet("button.001=released", kPanelId, "GrpSelect");
  registerRoutes(routerDevice, kFirstTally, kLastTally, false);
  pollRoutes(routerDevice, kFirstTally, kLastTally);
}

// Nothing on the wire tells that a device was not found: the debug line says
// why routes then go to device 0. With no host there is nothing to find.
void ZUV_OZo::lookUp(const char* name, int& device) {
  lookupDevice(name, &device, nullptr);
  if (device == 0 && host != nullptr) {
    debugPrint("device \"%1\" not found: its commands go to device 0", name);
  }
}

// A timer armed by a take just before is left to the host: only the tallies
// are unregistered.
ZUV_OZo::~ZUV_OZo() { unregisterRoutes(routerDevice); }
