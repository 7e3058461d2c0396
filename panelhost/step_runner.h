// StepRunner: carries out steps on a host session and checks expectations.
//
// Expectations look at what the last action did: each action step (press,
// tally, route, wait, property, close) starts a fresh list of commands, and
// each "expect" must match the next command of that list, in order.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "panelhost/host_session.h"
#include "panelhost/step.h"

class StepRunner {
 public:
  // How "wait" lets time pass: by default the session's clock jumps ahead
  // (a virtual clock); an interactive run waits in real time instead.
  using Wait = std::function<void(int ms)>;

  StepRunner(HostSession& session, std::ostream& out, Wait wait = {})
      : session_(session), out_(out), wait_(std::move(wait)) {}

  // Carries out `step`. False with a one-line reason in `failure` when an
  // expectation does not hold or the step cannot be carried out.
  bool run(const Step& step, std::string& failure);
  // Prints the panel's labels and highlights.
  void printPanel();

 private:
  bool act(const Step& step, std::string& failure);
  bool check(const Step& step, std::string& failure);
  // A device given by number or by name; nothing when there is none.
  std::optional<int> deviceNumber(const std::string& word) const;
  std::string unmatchedCommands() const;

  HostSession& session_;
  std::ostream& out_;
  Wait wait_;
  size_t firstOfAction_ = 0;  // commands before this belong to earlier actions
  size_t matched_ = 0;        // commands matched by "expect" so far
  std::optional<std::string> answer_;
  bool asked_ = false;
};
