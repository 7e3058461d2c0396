// A panel host for the dispatch fuzzer: records the commands the panel sends,
// answers the device look-ups, and aborts the run as soon as the plug-in
// breaks a rule of the host interface: a command that is not a well-formed
// host command, a code other than 0 or 5, a reply handed back twice or never,
// or a pointer handed back that was never a reply.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "hostside/reply_ledger.h"
#include "platform/client_host_base.h"

class CheckingHost : public client_host_base {
 public:
  // Aborts when a reply is still out.
  ~CheckingHost() override;

  // Answers "SD '<name>'" with a copy of `reply`; null (the default for every
  // name) answers 0.
  void answerDevice(const std::string& name, const char* reply);

  std::intptr_t command(const char* text, int code) override;

  // The code-0 command texts since the last clear, in order.
  const std::vector<std::string>& commands() const { return commands_; }
  void clear() { commands_.clear(); }
  std::size_t outstandingReplies() const { return replies_.outstanding(); }

 private:
  std::vector<std::string> commands_;
  std::map<std::string, std::string> deviceReplies_;
  ReplyLedger replies_;
};
