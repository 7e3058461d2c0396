// @PANEL@: start-up, deletion and the panel's answers to the host's events.
#include "panels/@STUDIO@/@PANEL@/@PANEL@.h"

@PANEL@::@PANEL@(client_host* hostInterface, const char* path)
    : vesk_script_helper(hostInterface, path, "@PANEL@") {
  openPanel(kPanelId, kLayoutFile, "");
}

@PANEL@::~@PANEL@() = default;

void @PANEL@::onButton(button_event* event) {
  if (!(event->panel() == kPanelNumber)) return;
  if (event->control() == "Btn_1") textSet("text", "pressed", kPanelId, "Lbl_1");
}

int @PANEL@::onRevertive(revertive_event*) { return 0; }

// Properties an enclosing panel may set or read: none yet.
vesk_string @PANEL@::onParentRequest(parent_request*) { return vesk_string(); }

// The panel arms no timer; a tick from the host is stopped.
void @PANEL@::onTimer(int id) { cancelTimer(id); }
