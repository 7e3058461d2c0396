// ZUV_OZo: the instant-take router panel for the three SCR video monitors of
// Studio A.
//
// The operator selects a monitor (Mon_1..Mon_3), pages the source list with
// the group selector (GrpSelect) and picks a source (SourceSel); the source is
// routed at once on the packager to the monitor's destination, and the
// source highlight clears 250 ms later. Each monitor's label (VID_1..VID_3)
// shows the SDI router's tally for the destination that feeds it.
#pragma once

#include "framework/vesk_script_helper.h"

class ZUV_OZo : public vesk_script_helper {
 public:
  // Fixed names and numbers of the panel.
  static constexpr const char* kPanelId = "1";
  static constexpr int kPanelNumber = 1;
  static constexpr const char* kLayoutFile = "scr_mons.vesk_ui";
  static constexpr const char* kPackagerName = "ZIR VESK Packager";
  static constexpr const char* kRouterName = "ZIR SDI Router";
  static constexpr int kPackagerDestBase = 409;  // monitor n -> packager destination 409 + n
  static constexpr int kRouterDestBase = 76;     // monitor n <- router destination 76 + n
  static constexpr int kMonitors = 3;
  static constexpr int kHighlightTimer = 1;
  static constexpr int kHighlightMs = 250;

  // Looks up both devices, shows the layout, resets the group control and
  // registers for and polls the router tallies of destinations 77..79.
  ZUV_OZo(client_host* host, const char* path);
  // Unregisters the router tallies; the framework then sends "AS".
  ~ZUV_OZo() override;

  // The panel's state, for inspection (tests, tools).
  struct State {
    int currentMonitor;  // 1..3
    int selectedSource;  // 0: none
    int packagerDest;    // always currentMonitor + 409
    int routerDevice;
    int packagerDevice;
    int tallyMonitor;    // monitor of the last tally shown; 0 before the first
    const vesk_string& myParam;
    const vesk_string& instance;
  };
  State state() const {
    return {currentMonitor, selectedSource, packagerDest, routerDevice, packagerDevice, tallyMonitor, myParam, instance};
  }

 protected:
  void onButton(button_event* event) override;
  int onRevertive(revertive_event* event) override;
  vesk_string onParentRequest(parent_request* request) override;
  void onTimer(int id) override;

 private:
  // Looks `name` up into `device`, which stays 0 when it is not found.
  void lookUp(const char* name, int& device);
  void takeSource(const vesk_string& value);
  void selectMonitor(int monitor);

  vesk_string myParam;   // set and read by an enclosing panel
  vesk_string instance;  // set by an enclosing panel; stored only
  int currentMonitor = 1;
  int selectedSource = 0;
  int packagerDest = kPackagerDestBase + 1;
  int routerDevice = 0;
  int packagerDevice = 0;
  int tallyMonitor = 0;
};
