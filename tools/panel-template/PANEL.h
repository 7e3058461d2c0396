// @PANEL@: a script panel of @STUDIO@. Pressing Btn_1 writes "pressed" on
// the label Lbl_1.
#pragma once

#include "framework/vesk_script_helper.h"

class @PANEL@ : public vesk_script_helper {
 public:
  static constexpr const char* kPanelId = "1";
  static constexpr int kPanelNumber = 1;
  static constexpr const char* kLayoutFile = "@LAYOUT@";

  // Shows the layout.
  @PANEL@(client_host* host, const char* path);
  // Nothing to undo; the framework then sends "AS".
  ~@PANEL@() override;

 protected:
  void onButton(button_event* event) override;
  int onRevertive(revertive_event* event) override;
  vesk_string onParentRequest(parent_request* request) override;
  void onTimer(int id) override;
};
