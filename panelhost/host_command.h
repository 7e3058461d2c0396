// HostCommand: a command text from a panel, parsed into its verb and operands.
//
// Text operands are in apostrophes with no escaping, so an apostrophe inside
// a text is ambiguous; the parser takes the fixed operands (panel and
// control ids) from the ends and leaves the free text to absorb the rest:
//   TP '<text>' '<panel>' '<control>'
//   TG '<panel>' '<control>' '<key>'
//   PS '<panel>' '<file>' ['<args>']
//   SD '<name>'
//   XI '<panel>' '<filter>'
//   RC <device> <source> <dest> ',<field>' <flag>
//   RR <device> <first> <last> ['ADD']      RP <device> <first> <last>
//   RU <device>    ET <id> [<interval>]     AS
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct HostCommand {
  std::string verb;                // "TP", "RC", ...
  std::vector<std::string> texts;  // text operands, in order
  std::vector<int> numbers;        // numeric operands, in order
  bool add = false;                // RR ... 'ADD'
};

// The parsed command, or nothing with a one-line reason in `error`.
std::optional<HostCommand> parseHostCommand(std::string_view text, std::string& error);
