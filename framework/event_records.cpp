// Accessors of the typed event records.
#include "framework/event_records.h"

vesk_string revertive_event::tallyText() const { return vesk_string(record_->tally); }

vesk_string button_event::panel() const { return vesk_string(record_->panel); }
vesk_string button_event::control() const { return vesk_string(record_->control); }
vesk_string button_event::command() const { return vesk_string(record_->message->command); }
vesk_string button_event::value() const { return vesk_string(record_->message->value); }

vesk_string parent_request::command() const { return vesk_string(parts_->command); }
vesk_string parent_request::value() const { return vesk_string(parts_->value); }
