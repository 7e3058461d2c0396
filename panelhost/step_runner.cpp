// StepRunner: actions and expectations.
#include "panelhost/step_runner.h"

#include <charconv>

#include "panelhost/panel_view.h"

namespace {

std::optional<int> toInt(const std::string& word) {
  int value = 0;
  const char* end = word.data() + word.size();
  auto [stop, failure] = std::from_chars(word.data(), end, value);
  if (failure != std::errc() || stop != end || word.empty()) return std::nullopt;
  return value;
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

bool StepRunner::run(const Step& step, std::string& failure) {
  if (step.verb.rfind("expect", 0) == 0) return check(step, failure);
  if (step.verb == "show") {
    printPanel();
    for (const std::string& line : describeDevices(session_.devices())) out_ << "  devices: " << line << '\n';
    return true;
  }
  firstOfAction_ = session_.commands().size();
  matched_ = firstOfAction_;
  if (!act(step, failure)) return false;
  printPanel();
  return true;
}

void StepRunner::printPanel() {
  if (session_.layout() == nullptr) return;
  for (const std::string& line : describePanel(*session_.layout(), session_.devices())) {
    out_ << "  panel: " << line << '\n';
  }
}

bool StepRunner::act(const Step& step, std::string& failure) {
  const std::vector<std::string>& w = step.words;
  if (step.verb == "press") {
    std::string panel = session_.shownPanel().empty() ? "1" : session_.shownPanel();
    std::string control = w[0];
    const size_t slash = control.find('/');
    if (slash != std::string::npos) {
      panel = control.substr(0, slash);
      control = control.substr(slash + 1);
    }
    const std::string choice = w.size() > 1 ? w[1] : "";
    std::string message = choice;
    const PanelLayout* layout = session_.layout();
    const LayoutControl* shown = layout != nullptr ? layout->find(control) : nullptr;
    if (shown != nullptr) message = PanelLayout::messageFor(*shown, choice);
    session_.press(panel, control, message);
  } else if (step.verb == "tally" || step.verb == "route") {
    const std::optional<int> device = deviceNumber(w[0]);
    const std::optional<int> index = toInt(w[1]);
    if (!device || !index) {
      failure = "no device " + quoted(w[0]) + ", or " + quoted(w[1]) + " is not a number";
      return false;
    }
    if (step.verb == "tally") {
      session_.deviceTally(*device, *index, w[2]);
    } else {
      const std::optional<int> dest = toInt(w[2]);
      if (!dest) {
        failure = quoted(w[2]) + " is not a destination number";
        return false;
      }
      session_.deviceRoute(*device, *index, *dest);
    }
  } else if (step.verb == "wait") {
    const std::optional<int> ms = toInt(w[0]);
    if (!ms || *ms < 0) {
      failure = "wait takes milliseconds, not " + quoted(w[0]);
      return false;
    }
    if (wait_) {
      wait_(*ms);
    } else {
      session_.advanceTo(session_.now() + *ms);
    }
  } else if (step.verb == "property") {
    answer_ = session_.property(w[0]);
    asked_ = true;
  } else if (step.verb == "close") {
    session_.stop();
  }
  return true;
}

bool StepRunner::check(const Step& step, std::string& failure) {
  const std::vector<std::string>& commands = session_.commands();
  const std::vector<std::string>& w = step.words;
  if (step.verb == "expect") {
    if (matched_ >= commands.size()) {
      failure = "expected " + quoted(w[0]) + ", but no further command was sent" + unmatchedCommands();
      return false;
    }
    if (commands[matched_] != w[0]) {
      failure = "expected " + quoted(w[0]) + ", but the next command was " + quoted(commands[matched_]) +
                unmatchedCommands();
      return false;
    }
    ++matched_;
    return true;
  }
  if (step.verb == "expect-none") {
    if (matched_ < commands.size()) {
      failure = "expected no further command, but " + quoted(commands[matched_]) + " was sent";
      return false;
    }
    return true;
  }
  if (step.verb == "expect-answer") {
    if (!asked_) {
      failure = "no property was asked for yet";
      return false;
    }
    const std::string got = answer_ ? quoted(*answer_) : "none";
    const std::string wanted = w[0] == "none" ? "none" : quoted(w[0]);
    if (got != wanted) {
      failure = "expected the answer " + wanted + ", got " + got;
      return false;
    }
    return true;
  }
  if (step.verb == "expect-property") {
    const PanelLayout* layout = session_.layout();
    const LayoutControl* control = layout != nullptr ? layout->find(w[0]) : nullptr;
    if (control == nullptr) {
      failure = "the shown layout has no control " + quoted(w[0]);
      return false;
    }
    const auto value = control->properties.find(w[1]);
    const std::string got = value == control->properties.end() ? "(not set)" : quoted(value->second);
    if (got != quoted(w[2])) {
      failure = "expected " + w[0] + " " + w[1] + " " + quoted(w[2]) + ", got " + got;
      return false;
    }
    return true;
  }
  // expect-crosspoint <device> <dest> <source>
  const std::optional<int> device = deviceNumber(w[0]);
  const std::optional<int> dest = toInt(w[1]);
  const std::optional<int> source = toInt(w[2]);
  if (!device || !dest || !source) {
    failure = "expect-crosspoint takes a device, a destination and a source number";
    return false;
  }
  const Device* d = session_.devices().byNumber(*device);
  const auto routed = d->crosspoints.find(*dest);
  const std::string got = routed == d->crosspoints.end() ? "nothing" : std::to_string(routed->second);
  if (got != std::to_string(*source)) {
    failure = "expected " + d->name + " destination " + w[1] + " to take " + w[2] + ", it takes " + got;
    return false;
  }
  return true;
}

std::optional<int> StepRunner::deviceNumber(const std::string& word) const {
  if (const Device* d = session_.devices().byName(word)) return d->number;
  const std::optional<int> number = toInt(word);
  if (number && session_.devices().byNumber(*number) != nullptr) return number;
  return std::nullopt;
}

std::string StepRunner::unmatchedCommands() const {
  const std::vector<std::string>& commands = session_.commands();
  if (firstOfAction_ >= commands.size()) return " (the last action sent nothing)";
  std::string list = " (the last action sent:";
  for (size_t i = firstOfAction_; i < commands.size(); ++i) list += " " + quoted(commands[i]);
  return list + ")";
}
