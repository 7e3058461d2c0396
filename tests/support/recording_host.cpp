// RecordingHost: recording, answering, and the reply-ownership check.
#include "tests/support/recording_host.h"

#include <cstring>

#include <gtest/gtest.h>

RecordingHost::~RecordingHost() {
  for (const std::string& reply : replies_.outstandingTexts()) {
    ADD_FAILURE() << "reply \"" << reply << "\" was never handed back with code 5";
  }
}

void RecordingHost::answer(const std::string& command, const char* reply) {
  answers_[command] = reply == nullptr ? nullptr : std::make_unique<std::string>(reply);
}

std::intptr_t RecordingHost::command(const char* text, int code) {
  if (code == VESK_HOST_RELEASE_REPLY) {
    std::optional<std::string> reply = replies_.takeBack(text);
    if (!reply) {
      ADD_FAILURE() << "code 5 with a pointer that is not an outstanding reply";
      calls_.push_back({"<not a reply>", code});
      return 0;
    }
    calls_.push_back({*reply, code});
    return 0;
  }
  EXPECT_EQ(code, VESK_HOST_COMMAND) << "unexpected hostCommand code for \"" << text << "\"";
  calls_.push_back({text, code});

  if (std::strncmp(text, "PS ", 3) == 0) return panelResult_;
  auto it = answers_.find(text);
  if (it == answers_.end() || it->second == nullptr) return 0;
  return reinterpret_cast<std::intptr_t>(replies_.handOut(*it->second));
}

std::vector<std::string> RecordingHost::commands() const {
  std::vector<std::string> texts;
  for (const Call& call : calls_) {
    if (call.code == VESK_HOST_COMMAND) texts.push_back(call.text);
  }
  return texts;
}
