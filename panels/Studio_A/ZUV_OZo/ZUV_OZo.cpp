// ZUV_OZo: start-up and shut-down.
#include "panels/Studio_A/ZUV_OZo/ZUV_OZo.h"

namespace {
constexpr int kFirstTally = ZUV_OZo::kRouterDestBase + 1;
constexpr int kLastTally = ZUV_OZo::kRouterDestBase + ZUV_OZo::kMonitors;
}  // namespace

ZUV_OZo::ZUV_OZo(client_host* hostInterface, const char* path) : vesk_script_helper(hostInterface, path) {
  // A failed lookup leaves the number 0; start-up goes on with it.
  lookupDevice(kPackagerName, &packagerDevice, nullptr);
  lookupDevice(kRouterName, &routerDevice, nullptr);
  openPanel(kPanelId, kLayoutFile, "");
  textSet("button.001=released", kPanelId, "GrpSelect");
  registerRoutes(routerDevice, kFirstTally, kLastTally, false);
  pollRoutes(routerDevice, kFirstTally, kLastTally);
}

// A timer armed by a take just before is left to the host: only the tallies
// are unregistered.
ZUV_OZo::~ZUV_OZo() { unregisterRoutes(routerDevice); }
