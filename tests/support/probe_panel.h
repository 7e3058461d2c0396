// A panel that records which hooks the framework calls, with what, so tests
// can check dispatch and the commands without a real panel's logic.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/vesk_script_helper.h"

class ProbePanel : public vesk_script_helper {
 public:
  using vesk_script_helper::vesk_script_helper;
  ~ProbePanel() override {
    if (onDestroy) onDestroy(*this);
  }

  void enableAlarms() { alarmsEnabled = true; }

  std::vector<std::string> hooks;  // one line per hook call
  std::string answer;              // what onParentRequest returns
  std::function<void(ProbePanel&)> onDestroy;

 protected:
  void onButton(button_event* event) override {
    hooks.push_back("button " + text(event->panel()) + " " + text(event->control()) + " " +
                    text(event->command()) + "=" + text(event->value()));
  }
  int onRevertive(revertive_event* event) override {
    hooks.push_back("revertive " + std::to_string(event->device()) + " " + std::to_string(event->index()) +
                    " " + text(event->tallyText()));
    return 0;
  }
  vesk_string onParentRequest(parent_request* request) override {
    hooks.push_back("parent " + text(request->command()) + "=" + text(request->value()));
    return vesk_string(answer.c_str());
  }
  void onTimer(int id) override { hooks.push_back("timer " + std::to_string(id)); }
  void onEvent6(script_event* event) override { hooks.push_back("event6 " + pointer(event->payload)); }
  void onEvent7(script_event* event) override { hooks.push_back("event7 " + pointer(event->payload)); }

 private:
  static std::string text(const vesk_string& s) { return std::string(s, s.length()); }
  static std::string pointer(void* p) { return std::to_string(reinterpret_cast<std::uintptr_t>(p)); }
};
