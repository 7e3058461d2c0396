// StepRunner: carries out steps on a host session and checks expectations.
// Its table (steps(), in step_table.cpp) is the one list of steps: each row
// names a step, its operands, its help line and its handler, so a new step
// is one row and one handler there. A handler works on the part of the
// session it is about: the studio, the layouts shown, or the session's
// record of commands.
//
// Expectations look at what the last action did: each action step (press,
// tally, route, wait, property, close) starts a fresh list of commands, and
// each "expect" must match the next command of that list, in order. After
// an action, what falls due at once reaches the panel, and the panel is
// printed.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "hostside/result.h"
#include "panelhost/session/host_session.h"
#include "panelhost/steps/step.h"

class StepRunner {
 public:
  // How "wait" lets time pass: by default the session's clock jumps ahead
  // (a virtual clock); an interactive run waits in real time instead.
  using Wait = std::function<void(int ms)>;

  StepRunner(HostSession& session, std::ostream& out, Wait wait = {})
      : session_(session), out_(out), wait_(std::move(wait)) {}

  // Carries out `step`; why not when an expectation does not hold or the
  // step cannot be carried out.
  Result<> run(const Step& step);
  // Prints the panel's labels and highlights.
  void printPanel();

  // Every step, in the order the help lists them.
  static const StepTable& steps();

 private:
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
