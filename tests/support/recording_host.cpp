// RecordingHost: recording, answering, and the reply-ownership check.
#include "tests/support/recording_host.h"

#include <cstring>

#include <gtest/gtest.h>

RecordingHost::~RecordingHost() {
  for (const auto& reply : outstanding_) {
    ADD_FAILURE() << "reply \"" << reply.second.get() << "\" was never handed back with code 5";
  }
}

void RecordingHost::answer(const std::string& command, const char* reply) {
  answers_[command] = reply == nullptr ? nullptr : std::make_unique<std::string>(reply);
}

std::intptr_t RecordingHost::command(const char* text, int code) {
  if (code == VESK_HOST_RELEASE_REPLY) {
    auto it = outstanding_.find(text);
    if (it == outstanding_.end()) {
      ADD_FAILURE() << "code 5 with a pointer that is not an outstanding reply";
      calls_.push_back({"<not a reply>", code});
      return 0;
    }
    calls_.push_back({it->second.get(), code});
    outstanding_.erase(it);
    return 0;
  }
  EXPECT_EQ(code, VESK_HOST_COMMAND) << "unexpected hostCommand code for \"" << text << "\"";
  calls_.push_back({text, code});

  if (std::strncmp(text, "PS ", 3) == 0) return panelResult_;
  auto it = answers_.find(text);
  if (it == answers_.end() || it->second == nullptr) return 0;
  const std::string& reply = *it->second;
  auto block = std::make_unique<char[]>(reply.size() + 1);
  std::memcpy(block.get(), reply.c_str(), reply.size() + 1);
  const char* handedOut = block.get();
  outstanding_[handedOut] = std::move(block);
  return reinterpret_cast<std::intptr_t>(handedOut);
}

std::vector<std::string> RecordingHost::commands() const {
  std::vector<std::string> texts;
  for (const Call& call : calls_) {
    if (call.code == VESK_HOST_COMMAND) texts.push_back(call.text);
  }
  return texts;
}
