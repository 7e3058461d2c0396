// CheckingHost: the verb check, the device answers and the reply ledger.
#include "fuzz/checking_host.h"

#include <cstring>

#include "fuzz/fuzz_check.h"

namespace {

// The verbs of the host command set.
constexpr const char* kVerbs[] = {"TP", "TG", "PS", "SD", "XI", "RC", "RR", "RP", "RU", "ET", "AS"};

// True when `text` is a verb alone or a verb followed by a blank.
bool startsWithVerb(const char* text) {
  for (const char* verb : kVerbs) {
    if (std::strncmp(text, verb, 2) == 0 && (text[2] == ' ' || text[2] == '\0')) return true;
  }
  return false;
}

}  // namespace

CheckingHost::~CheckingHost() { FUZZ_CHECK(outstanding_.empty()); }

void CheckingHost::answerDevice(const std::string& name, const char* reply) {
  const std::string command = "SD '" + name + "'";
  if (reply == nullptr) {
    deviceReplies_.erase(command);
  } else {
    deviceReplies_[command] = reply;
  }
}

std::intptr_t CheckingHost::command(const char* text, int code) {
  FUZZ_CHECK(text != nullptr);
  if (code == VESK_HOST_RELEASE_REPLY) {
    const auto it = outstanding_.find(text);
    FUZZ_CHECK(it != outstanding_.end());
    outstanding_.erase(it);
    return 0;
  }
  FUZZ_CHECK(code == VESK_HOST_COMMAND);
  FUZZ_CHECK(startsWithVerb(text));
  commands_.emplace_back(text);

  if (std::strncmp(text, "PS ", 3) == 0) return 1;
  const auto answer = deviceReplies_.find(text);
  if (answer == deviceReplies_.end()) return 0;
  const std::string& reply = answer->second;
  auto block = std::make_unique<char[]>(reply.size() + 1);
  std::memcpy(block.get(), reply.c_str(), reply.size() + 1);
  const char* handedOut = block.get();
  outstanding_[handedOut] = std::move(block);
  return reinterpret_cast<std::intptr_t>(handedOut);
}
