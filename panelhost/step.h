// Step: one line of a scenario or of the shell, parsed into a verb and its
// operands.
//
//   press [<panel>/]<control> [<message>]   the operator works a control
//   tally <device> <index> <text>           a device reports a tally
//   route <device> <source> <dest>          a route made from outside
//   wait <ms>                               the clock moves on
//   property <message>                      an enclosing panel asks
//   close                                   the host deletes the panel
//   show                                    print panel and devices
//   expect <command>                        the next command sent
//   expect-none                             no further command sent
//   expect-answer <text> | none             the last property answer
//   expect-property <control> <key> <value> a control property
//   expect-crosspoint <device> <dest> <source>
// A device is its number or its name in double quotes. Words are separated
// by blanks; double quotes group words. For expect and expect-answer the
// rest of the line is taken as it stands; "" stands for the empty text.
// Blank lines and lines starting with '#' are no steps.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct Step {
  std::string verb;
  std::vector<std::string> words;  // operands, quotes removed
  std::string rest;                // the text after the verb, as written
  std::string where;               // "file:line", for messages
};

// The step on `line`; nothing for a blank or comment line, or with a
// one-line reason in `error` when the line is not a step.
std::optional<Step> parseStep(const std::string& line, std::string& error);

// One line of help per step, for the shell and --help.
const char* stepHelp();
