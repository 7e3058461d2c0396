// Accessors of the typed event records.
#include "framework/event_records.h"

#include <cstring>

namespace {
// `text` into `copy`; false, with `copy` empty, when the heap could not hold
// it whole.
bool copyWhole(const char* text, vesk_string& copy) {
  copy = text;
  if (copy.length() == std::strlen(text)) return true;
  copy = "";
  return false;
}
}  // namespace

vesk_string revertive_event::tallyText() const { return vesk_string(record_->tally); }
bool revertive_event::tallyText(vesk_string& text) const { return copyWhole(record_->tally, text); }

vesk_string button_event::panel() const { return vesk_string(record_->panel); }
vesk_string button_event::control() const { return vesk_string(record_->control); }
vesk_string button_event::command() const { return vesk_string(record_->message->command); }
vesk_string button_event::value() const { return vesk_string(record_->message->value); }
bool button_event::value(vesk_string& text) const { return copyWhole(record_->message->value, text); }

vesk_string parent_request::command() const { return vesk_string(parts_->command); }
vesk_string parent_request::value() const { return vesk_string(parts_->value); }
bool parent_request::value(vesk_string& text) const { return copyWhole(parts_->value, text); }
