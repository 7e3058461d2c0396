// Host payloads built the way the host builds them: a tally_record with its
// text stored inside, and a control_record with its message split.
#pragma once

#include <cstring>
#include <string>

#include "framework/vesk_boundary.h"

class TallyPayload {
 public:
  TallyPayload(int device, int index, const std::string& text) {
    std::memset(bytes_, 0xA5, sizeof bytes_);  // the unread fields hold junk
    tally_record* record = get();
    record->device = device;
    record->index = index;
    std::memcpy(bytes_ + offsetof(tally_record, tally), text.c_str(), text.size() + 1);
  }
  tally_record* get() { return reinterpret_cast<tally_record*>(bytes_); }

 private:
  alignas(tally_record) unsigned char bytes_[offsetof(tally_record, tally) + 512];
};

class ControlPayload {
 public:
  ControlPayload(std::string panel, std::string control, const char* message)
      : panel_(std::move(panel)), control_(std::move(control)), parts_(message) {
    std::memset(record_.unused, 0xA5, sizeof record_.unused);
    record_.panel = panel_.c_str();
    record_.control = control_.c_str();
    record_.message = &parts_;
  }
  ControlPayload(const ControlPayload&) = delete;
  ControlPayload& operator=(const ControlPayload&) = delete;
  control_record* get() { return &record_; }

 private:
  std::string panel_;
  std::string control_;
  message_parts parts_;
  control_record record_{};
};
