// A client_host that records every command a panel sends, answers the two
// device look-ups, and holds the panel to the host's rules: slot 0 is never
// called, hostCommand is called on a live host object, and each reply comes
// back exactly once with code 5, by the pointer it was given as.
#pragma once

#include "host_abi.h"

// One hostCommand call as the host received it.
struct host_call {
  const char* text;  // the command; for code 5, the reply handed back
  int code;
};

class recording_host final : public client_host {
 public:
  recording_host();
  recording_host(const recording_host&) = delete;
  recording_host& operator=(const recording_host&) = delete;
  ~recording_host();

  void reserved() override;
  intptr_t hostCommand(const char* text, int code) override;

  // The calls received since the last take(), ended by a null text; they
  // stay valid until this host's next take().
  const host_call* take();
  // Replies given and not yet handed back.
  int outstandingReplies() const;

 private:
  void record(const char* text, int code);

  static constexpr int kMaxCalls = 16;
  static constexpr int kMaxReplies = 4;
  host_call calls_[kMaxCalls] = {};  // texts owned (new[] copies)
  int callCount_ = 0;
  host_call taken_[kMaxCalls + 1] = {};  // the last take(), texts owned
  char* replies_[kMaxReplies] = {};      // given out, not yet back
  // Handed back: overwritten and kept until the host goes, so that a panel
  // reading one after handing it back reads the overwrite, not freed memory.
  char* returned_[2 * kMaxReplies] = {};
};
