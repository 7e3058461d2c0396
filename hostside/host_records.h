// Event payloads built the way the host builds them, at their documented
// offsets: a tally_record with its text stored inside it, and a
// control_record whose message the host has split. Shared by the emulator,
// the tests, the fuzzers and the benchmark.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>

#include "framework/vesk_boundary.h"

// A tally_record in a heap block exactly as long as the record and its
// text, so a read past the text's end is a read past the block. The fields
// the panel does not read hold junk (0xA5), as they may in the host.
class TallyPayload {
 public:
  TallyPayload(int device, int index, const std::string& text)
      : bytes_(new unsigned char[offsetof(tally_record, tally) + std::strlen(text.c_str()) + 1]) {
    const std::size_t length = std::strlen(text.c_str());
    std::memset(bytes_.get(), 0xA5, offsetof(tally_record, tally));
    tally_record* record = get();
    record->device = device;
    record->index = index;
    std::memcpy(bytes_.get() + offsetof(tally_record, tally), text.c_str(), length + 1);
  }
  tally_record* get() { return reinterpret_cast<tally_record*>(bytes_.get()); }

 private:
  std::unique_ptr<unsigned char[]> bytes_;
};

// A control_record pointing at its own copies of the panel and control ids
// and at the message split by message_parts, as the host passes a worked
// control. A null message is split as the empty text.
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
  const message_parts& message() const { return parts_; }

 private:
  std::string panel_;
  std::string control_;
  message_parts parts_;
  control_record record_{};
};
