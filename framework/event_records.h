// The typed records a panel's hooks receive: each wraps one host payload for
// the duration of one hook call and reads it through accessors.
//
// A record does not own its payload and does not outlive the hook call; the
// texts its accessors return are the caller's own copies, valid after the
// event. A copy the heap cannot hold reads as the empty text; where an empty
// text would be taken for the host's own, a hook uses the form that copies
// into a string and returns false then. No accessor checks for null: the dispatcher never builds a record
// around a null payload, and the host keeps a control_record's pointers
// valid for the duration of the event.
#pragma once

#include "framework/vesk_boundary.h"
#include "platform/vesk_string.h"

// Code 1: a router tally.
class revertive_event {
 public:
  explicit revertive_event(const tally_record* record) : record_(record) {}
  int device() const { return record_->device; }
  int index() const { return record_->index; }
  vesk_string tallyText() const;
  // The tally text into `text`; false, with `text` empty, when the heap
  // could not hold the copy.
  bool tallyText(vesk_string& text) const;

 private:
  const tally_record* record_;
};

// Code 2: a control worked on a panel.
class button_event {
 public:
  explicit button_event(const control_record* record) : record_(record) {}
  vesk_string panel() const;
  vesk_string control() const;
  vesk_string command() const;  // the message's name part
  vesk_string value() const;    // the message's text after the first '='
  // value() into `text`; false, with `text` empty, when the heap could not
  // hold the copy.
  bool value(vesk_string& text) const;

 private:
  const control_record* record_;
};

// Code 3: a property message from an enclosing panel, already split.
class parent_request {
 public:
  explicit parent_request(const message_parts* parts) : parts_(parts) {}
  vesk_string command() const;
  vesk_string value() const;
  // value() into `text`; false, with `text` empty, when the heap could not
  // hold the copy.
  bool value(vesk_string& text) const;

 private:
  const message_parts* parts_;
};

// Codes 6 and 7: the payload, untyped.
struct script_event {
  void* payload;
};
