// ZUV_OZo: monitor selection, take, highlight timer and tallies.
#include "panels/Studio_A/ZUV_OZo/ZUV_OZo.h"

namespace {
vesk_string decimal(int n) { return vesk_string(n, 0, 0, 10); }
}  // namespace

void ZUV_OZo::onButton(button_event* event) {
  if (!(event->panel() == kPanelNumber)) return;
  const vesk_string control = event->control();
  if (control == "GrpSelect" || control == "SourceSel") {
    vesk_string value;
    if (!event->value(value)) {
      // An empty value would page to nothing or forget the source.
      debugPrint("%1 not handled: out of memory", control);
      return;
    }
    if (control == "SourceSel") {
      takeSource(value);
      return;
    }
    // Page the source list to the chosen group; the last source is forgotten.
    textSet("page", value, kPanelId, "SourceSel");
    selectedSource = 0;
  } else if (control == "Mon_1" || control == "Mon_2" || control == "Mon_3") {
    selectMonitor(control.firstInt());
  }
}

// Routes the source at once to the selected monitor's packager destination
// and arms the timer that clears the highlight. A value that does not read
// as a source above 0 routes nothing.
void ZUV_OZo::takeSource(const vesk_string& value) {
  const int source = value;
  if (source <= 0) {
    selectedSource = 0;
    return;
  }
  selectedSource = source;
  makeRoute(packagerDevice, selectedSource, packagerDest, "1", false);
  armTimer(kHighlightTimer, kHighlightMs);
}

// Moves the highlight to `monitor` and aims later takes at its destination;
// routes nothing and keeps the selected source.
void ZUV_OZo::selectMonitor(int monitor) {
  if (monitor == currentMonitor) return;
  textSet("statesheet", "ZRGroupDeselected", kPanelId, "BG_Mon" + decimal(currentMonitor));
  currentMonitor = monitor;
  textSet("statesheet", "ZR_TakeHigh", kPanelId, "BG_Mon" + decimal(currentMonitor));
  packagerDest = currentMonitor + kPackagerDestBase;
}

void ZUV_OZo::onTimer(int id) {
  cancelTimer(id);
  if (id == kHighlightTimer) textSet("index=0", kPanelId, "SourceSel");
}

int ZUV_OZo::onRevertive(revertive_event* event) {
  if (event->device() != routerDevice) return 0;
  const int index = event->index();
  if (index <= kRouterDestBase || index > kRouterDestBase + kMonitors) return 0;
  tallyMonitor = index - kRouterDestBase;
  const vesk_string label = "VID_" + decimal(tallyMonitor);
  vesk_string text;
  if (!event->tallyText(text)) {
    // The label keeps what it shows rather than go blank.
    debugPrint("tally for %1 not shown: out of memory", label);
    return 0;
  }
  textSet("text", text, kPanelId, label);
  return 0;
}
