// ZUV_DSt: the destination panel for Studio A's SDI router, with a two-press
// take.
//
// The operator picks a destination (Dst_1..Dst_4: router destinations
// 101..104) and a source (SrcSel); TAKE, lit while both are picked, routes
// the source to the destination on the ZIR SDI Router. A second press of
// the picked destination clears the pending choice. Each destination's
// label (DST_1..DST_4) shows the router's tally for it, and the framework's
// alarm action handles ActionAll and AckAll for the "alm_" controls.
#pragma once

#include "framework/vesk_script_helper.h"

class ZUV_DSt : public vesk_script_helper {
 public:
  static constexpr const char* kPanelId = "1";
  static constexpr int kPanelNumber = 1;
  static constexpr const char* kLayoutFile = "sdi_dests.vesk_ui";
  static constexpr const char* kRouterName = "ZIR SDI Router";
  static constexpr int kDestBase = 100;  // button n -> router destination 100 + n
  static constexpr int kDests = 4;

  // Looks up the router, shows the layout, turns on the alarm action, and
  // registers for and polls the tallies of destinations 101..104.
  ZUV_DSt(client_host* host, const char* path);
  // Unregisters the tallies; the framework then sends "AS".
  ~ZUV_DSt() override;

  // The panel's state, for inspection (tests, tools).
  struct State {
    int pendingDest;    // 1..4; 0: none picked
    int pendingSource;  // 0: none picked
    bool takeLit;       // TAKE shown lit: both picked
    int routerDevice;
  };
  State state() const { return {pendingDest, pendingSource, takeLit, routerDevice}; }

 protected:
  void onButton(button_event* event) override;
  int onRevertive(revertive_event* event) override;
  vesk_string onParentRequest(parent_request* request) override;
  void onTimer(int id) override;

 private:
  void pickDestination(int dest);
  void pickSource(const vesk_string& value);
  void take();
  // Forgets the pending destination and source and puts their highlights out.
  void clearPending();
  // Lights TAKE exactly while a destination and a source are both picked.
  void showTake();

  int pendingDest = 0;
  int pendingSource = 0;
  bool takeLit = false;
  int routerDevice = 0;
};
