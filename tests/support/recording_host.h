// A fake panel host that records every command it receives, answers "SD",
// "XI", "TG" and "PS" from a table, and checks the reply-ownership rule:
// every reply it hands out must come back exactly once with code 5.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hostside/reply_ledger.h"
#include "platform/client_host_base.h"

class RecordingHost : public client_host_base {
 public:
  struct Call {
    std::string text;  // the command, or for code 5 the reply handed back
    int code;
    bool operator==(const Call& other) const { return text == other.text && code == other.code; }
  };

  // Fails the running test for every reply still not handed back.
  ~RecordingHost() override;

  // Answers `command` (the exact text) with a copy of `reply`; a null reply
  // makes the host answer 0. Commands without an answer get 0.
  void answer(const std::string& command, const char* reply);
  // Result for "PS" commands (default 1: the layout was shown).
  void answerPanel(std::intptr_t result) { panelResult_ = result; }

  std::intptr_t command(const char* text, int code) override;

  const std::vector<Call>& calls() const { return calls_; }
  // The code-0 command texts, in order.
  std::vector<std::string> commands() const;
  void clear() { calls_.clear(); }
  std::size_t outstandingReplies() const { return replies_.outstanding(); }

 private:
  std::vector<Call> calls_;
  std::map<std::string, std::unique_ptr<std::string>> answers_;
  ReplyLedger replies_;
  std::intptr_t panelResult_ = 1;
};
