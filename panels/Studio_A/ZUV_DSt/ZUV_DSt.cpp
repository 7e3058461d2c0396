// ZUV_DSt: start-up, the two-press take, tallies and properties.
#include "panels/Studio_A/ZUV_DSt/ZUV_DSt.h"

namespace {
constexpr int kFirstDest = ZUV_DSt::kDestBase + 1;
constexpr int kLastDest = ZUV_DSt::kDestBase + ZUV_DSt::kDests;

vesk_string decimal(int n) { return vesk_string(n, 0, 0, 10); }
}  // namespace

ZUV_DSt::ZUV_DSt(client_host* hostInterface, const char* path)
    : vesk_script_helper(hostInterface, path, "ZUV_DSt") {
  // ActionAll and AckAll reach the framework's alarm action, not onButton.
  alarmsEnabled = true;
  lookupDevice(kRouterName, &routerDevice, nullptr);
  if (routerDevice == 0 && host != nullptr) {
    debugPrint("device \"%1\" not found: takes go to device 0", kRouterName);
  }
  openPanel(kPanelId, kLayoutFile, "");
  registerRoutes(routerDevice, kFirstDest, kLastDest, false);
  pollRoutes(routerDevice, kFirstDest, kLastDest);
}

ZUV_DSt::~ZUV_DSt() { unregisterRoutes(routerDevice); }

void ZUV_DSt::onButton(button_event* event) {
  if (!(event->panel() == kPanelNumber)) return;
  const vesk_string control = event->control();
  if (control == "Take") {
    take();
  } else if (control == "SrcSel") {
    vesk_string value;
    if (!event->value(value)) {
      // An empty value would forget the picked source.
      debugPrint("%1 not handled: out of memory", control);
      return;
    }
    pickSource(value);
  } else if (control == "Dst_1" || control == "Dst_2" || control == "Dst_3" || control == "Dst_4") {
    pickDestination(control.firstInt());
  }
}

// A second press of the pending destination cancels the take; another
// destination moves the choice there and keeps the source.
void ZUV_DSt::pickDestination(int dest) {
  if (dest == pendingDest) {
    clearPending();
    return;
  }
  if (pendingDest != 0) textSet("statesheet", "ZR_DestIdle", kPanelId, "Dst_" + decimal(pendingDest));
  pendingDest = dest;
  textSet("statesheet", "ZR_DestPicked", kPanelId, "Dst_" + decimal(pendingDest));
  showTake();
}

// A value that does not read as a source above 0 forgets the source.
void ZUV_DSt::pickSource(const vesk_string& value) {
  const int source = value;
  pendingSource = source > 0 ? source : 0;
  showTake();
}

// Routes the pending source to the pending destination; with either
// missing TAKE does nothing. The label follows when the router's tally
// comes back, not before: it shows what the router did.
void ZUV_DSt::take() {
  if (pendingDest == 0 || pendingSource == 0) return;
  makeRoute(routerDevice, pendingSource, kDestBase + pendingDest, "1", false);
  clearPending();
}

void ZUV_DSt::clearPending() {
  if (pendingDest != 0) textSet("statesheet", "ZR_DestIdle", kPanelId, "Dst_" + decimal(pendingDest));
  if (pendingSource != 0) textSet("index=0", kPanelId, "SrcSel");
  pendingDest = 0;
  pendingSource = 0;
  showTake();
}

void ZUV_DSt::showTake() {
  const bool lit = pendingDest != 0 && pendingSource != 0;
  if (lit == takeLit) return;
  takeLit = lit;
  textSet("statesheet", lit ? "ZR_TakePending" : "ZR_TakeIdle", kPanelId, "Take");
}

// The panel arms no timer; a tick from the host is stopped.
void ZUV_DSt::onTimer(int id) { cancelTimer(id); }

int ZUV_DSt::onRevertive(revertive_event* event) {
  const int index = event->index();
  if (event->device() != routerDevice || index < kFirstDest || index > kLastDest) return 0;
  vesk_string text;
  const vesk_string label = "DST_" + decimal(index - kDestBase);
  if (!event->tallyText(text)) {
    // The label keeps what it shows rather than go blank.
    debugPrint("tally for %1 not shown: out of memory", label);
    return 0;
  }
  textSet("text", text, kPanelId, label);
  return 0;
}

// Properties an enclosing panel sets and reads:
//   dest=<1..4>    picks that destination, as its button does
//   return=all     -> "dest=<n>": every property it can set (0: none picked)
//   return=dest    -> "dest=<n>"
//   return=source  -> "source=<n>" (0: none picked)
//   _events        -> "notify=*"
//   _commands      -> "dest=[value]"
// Anything else has no answer.
vesk_string ZUV_DSt::onParentRequest(parent_request* request) {
  const vesk_string name = request->command();
  const vesk_string value = request->value();
  if (name == "dest") {
    const int dest = value;
    if (dest >= 1 && dest <= kDests && dest != pendingDest) pickDestination(dest);
    return vesk_string();
  }
  if (name == "return") {
    if (value == "all" || value == "dest") return "dest=" + decimal(pendingDest);
    if (value == "source") return "source=" + decimal(pendingSource);
    return vesk_string();
  }
  if (name == "_events") return "notify=*";
  if (name == "_commands") return "dest=[value]";
  return vesk_string();
}
