// PanelBoundary: creating, calling and deleting the panel, and the rules.
#include "panelhost/boundary/panel_boundary.h"

#include <cstring>

#include "panelhost/support/text.h"

bool PanelBoundary::create(vesk_load_function loader, client_host* host, const char* folder) {
  dispatching_ = true;  // the panel's commands during creation come from inside a call
  DebugLineListener listening(debugLine_);
  panel_ = loader(host, folder);
  dispatching_ = false;
  return panel_ != nullptr;
}

char* PanelBoundary::deliver(void* payload, int code) {
  if (panel_ == nullptr) return nullptr;
  if (dispatching_) {
    violation("dispatch entered again before it returned");
    return nullptr;
  }
  dispatching_ = true;
  DebugLineListener listening(debugLine_);
  char* result = panel_->table->dispatch(panel_, payload, code);
  dispatching_ = false;
  if (result != nullptr && code != VESK_EVENT_PROPERTY) {
    violation("dispatch code " + std::to_string(code) + " returned a block");
    return nullptr;
  }
  return result;
}

char* PanelBoundary::deliverProperty(const std::string& message) {
  // The panel must not write into the host's text.
  std::vector<char> text(message.begin(), message.end());
  text.push_back('\0');
  char* block = deliver(text.data(), VESK_EVENT_PROPERTY);
  if (std::strcmp(text.data(), message.c_str()) != 0) violation("the panel changed the property message");
  return block;
}

void PanelBoundary::destroy() {
  if (panel_ == nullptr) return;
  vesk_client_callback* panel = panel_;
  dispatching_ = true;
  void* returned = nullptr;
  {
    DebugLineListener listening(debugLine_);
    returned = panel->table->destroy(panel, 1);
  }
  dispatching_ = false;
  panel_ = nullptr;
  deleted_ = true;
  if (returned != static_cast<void*>(panel)) violation("slot 0 did not return the panel's address");
  for (const std::string& reply : replies_.outstandingTexts()) {
    violation("reply " + quoted(reply) + " was never handed back with code 5");
  }
  replies_.clear();
}

bool PanelBoundary::acceptCommand(int code, const std::string& text) {
  if (code != VESK_HOST_COMMAND) {
    violation("hostCommand with unknown code " + std::to_string(code) + " for " + quoted(text));
    return false;
  }
  if (deleted_) {
    violation("command " + quoted(text) + " after the panel was deleted");
    return false;
  }
  return true;
}

std::optional<std::string> PanelBoundary::handBack(const char* pointer) {
  std::optional<std::string> reply = replies_.takeBack(pointer);
  if (!reply) {
    violation(deleted_ ? "a reply was handed back after the panel was deleted"
                       : "code 5 with a pointer the host did not hand out, or handed back twice");
  }
  return reply;
}

void PanelBoundary::violation(const std::string& text) {
  violations_.push_back(text);
  if (report_) report_(text);
}
