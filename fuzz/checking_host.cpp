// CheckingHost: the command check, the device answers and the reply ledger.
#include "fuzz/checking_host.h"

#include <type_traits>
#include <variant>

#include "fuzz/fuzz_check.h"
#include "hostside/host_command.h"

CheckingHost::~CheckingHost() { FUZZ_CHECK(replies_.outstanding() == 0); }

void CheckingHost::answerDevice(const std::string& name, const char* reply) {
  if (reply == nullptr) {
    deviceReplies_.erase(name);
  } else {
    deviceReplies_[name] = reply;
  }
}

std::intptr_t CheckingHost::command(const char* text, int code) {
  FUZZ_CHECK(text != nullptr);
  if (code == VESK_HOST_RELEASE_REPLY) {
    FUZZ_CHECK(replies_.takeBack(text).has_value());
    return 0;
  }
  FUZZ_CHECK(code == VESK_HOST_COMMAND);
  const Result<HostCommand> parsed = parseHostCommand(text);
  FUZZ_CHECK(parsed);
  commands_.emplace_back(text);

  if (std::holds_alternative<ShowLayout>(*parsed)) return 1;
  const LookUpDevice* lookUp = std::get_if<LookUpDevice>(&*parsed);
  if (lookUp == nullptr) return 0;
  const auto answer = deviceReplies_.find(lookUp->name);
  if (answer == deviceReplies_.end()) return 0;
  return reinterpret_cast<std::intptr_t>(replies_.handOut(answer->second));
}
