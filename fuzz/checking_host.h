// A panel host for the dispatch fuzzer: records the commands the panel sends,
// answers the device look-ups, and aborts the run as soon as the plug-in
// breaks a rule of the host interface: a command that does not start with a
// known verb, a code other than 0 or 5, a reply handed back twice or never,
// or a pointer handed back that was never a reply.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

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
  std::size_t outstandingReplies() const { return outstanding_.size(); }

 private:
  std::vector<std::string> commands_;
  std::map<std::string, std::string> deviceReplies_;
  std::map<const char*, std::unique_ptr<char[]>> outstanding_;
};
