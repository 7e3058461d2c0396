// HostCommand: a panel's command text parsed once into a typed value, one
// struct per verb with named fields. The emulator carries them out, the
// dispatch fuzzer's host checks them, and the tests read them.
//
// Each struct names its verb and parses its own operands; HostCommand lists
// them all, and parseHostCommand tries each in turn. A new verb is a new
// struct added to that list, and a carryOut handler in the one part of the
// emulator that owns it (the emulator does not compile while a verb has no
// owner, or two).
//
// Text operands are in apostrophes with no escaping, so an apostrophe inside
// a text is ambiguous; the fixed operands (panel and control ids) are taken
// from the ends and the free text absorbs the rest:
//   parseHostCommand("TP 'text=Bob's' '1' 'VID_1'")
//     -> SetProperty{text "text=Bob's", panel "1", control "VID_1"}
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "hostside/result.h"

// TP '<key>=<value>' '<panel>' '<control>': set a control property; a text
// without '=' sets that key to the empty value.
struct SetProperty {
  static constexpr std::string_view kVerb = "TP";
  std::string text, panel, control;
  static Result<SetProperty> parse(std::string_view operands);
};

// TG '<panel>' '<control>' '<key>': read a control property ("all": every
// one); the host replies "<key>=<value>".
struct GetProperty {
  static constexpr std::string_view kVerb = "TG";
  std::string panel, control, key;
  static Result<GetProperty> parse(std::string_view operands);
};

// PS '<panel>' '<file>' ['<args>']: show a layout as panel <panel>.
struct ShowLayout {
  static constexpr std::string_view kVerb = "PS";
  std::string panel, file;
  std::optional<std::string> args;
  static Result<ShowLayout> parse(std::string_view operands);
};

// SD '<name>': look up a device; the host replies "<number> 0".
struct LookUpDevice {
  static constexpr std::string_view kVerb = "SD";
  std::string name;
  static Result<LookUpDevice> parse(std::string_view operands);
};

// XI '<panel>' '<filter>': the shown controls whose id starts with <filter>,
// joined by commas.
struct ListControls {
  static constexpr std::string_view kVerb = "XI";
  std::string panel, filter;
  static Result<ListControls> parse(std::string_view operands);
};

// RC <device> <source> <dest> ',<field>' <flag>: route on a device.
struct Route {
  static constexpr std::string_view kVerb = "RC";
  int device = 0, source = 0, dest = 0;
  std::string field;
  int flag = 0;
  static Result<Route> parse(std::string_view operands);
};

// RR <device> <first> <last> ['ADD']: register for tallies of that range,
// replacing the device's registrations unless 'ADD'.
struct RegisterTallies {
  static constexpr std::string_view kVerb = "RR";
  int device = 0, first = 0, last = 0;
  bool add = false;
  static Result<RegisterTallies> parse(std::string_view operands);
};

// RP <device> <first> <last>: send the current tallies of the registered
// indices in the range.
struct PollTallies {
  static constexpr std::string_view kVerb = "RP";
  int device = 0, first = 0, last = 0;
  static Result<PollTallies> parse(std::string_view operands);
};

// RU <device>: drop every registration on the device.
struct UnregisterTallies {
  static constexpr std::string_view kVerb = "RU";
  int device = 0;
  static Result<UnregisterTallies> parse(std::string_view operands);
};

// ET <id> [<interval>]: arm timer <id> to tick every <interval> ms; no
// interval, or one of 0 or less, stops it.
struct ArmTimer {
  static constexpr std::string_view kVerb = "ET";
  int id = 0;
  std::optional<int> interval;
  static Result<ArmTimer> parse(std::string_view operands);
};

// AS: the panel is gone (its last command).
struct PanelGone {
  static constexpr std::string_view kVerb = "AS";
  static Result<PanelGone> parse(std::string_view operands);
};

using HostCommand = std::variant<SetProperty, GetProperty, ShowLayout, LookUpDevice, ListControls, Route,
                                 RegisterTallies, PollTallies, UnregisterTallies, ArmTimer, PanelGone>;

// The command in `text`, or why it is none: not a known verb of two
// letters, or operands that do not fit the verb's form.
Result<HostCommand> parseHostCommand(std::string_view text);

// The verb of `command`, e.g. "TP".
std::string_view verbOf(const HostCommand& command);

// What the host gives back for a command: hostCommand's return value is a
// reply block holding `reply` when there is one (the panel hands it back
// with code 5), and `value` otherwise (0, or 1 for a layout shown).
struct HostAnswer {
  std::optional<std::string> reply;
  std::intptr_t value = 0;
};
