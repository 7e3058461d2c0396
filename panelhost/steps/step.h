// Step: one line of a scenario or of the shell, parsed against a table of
// steps (the runner's, StepRunner::steps(), which also carries them out).
//
// Words are separated by blanks; double quotes group words. A step that
// takes the rest of its line (expect, expect-answer) takes it as it stands,
// "" standing for the empty text. Blank lines and lines starting with '#'
// are no steps.
//   parseStep("tally \"ZIR SDI Router\" 78 \"CAM 2\"", StepRunner::steps())
//     -> tally, words {"ZIR SDI Router", "78", "CAM 2"}
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostside/result.h"
#include "panelhost/studio/devices.h"

class StepRunner;
using Words = std::vector<std::string>;

// One kind of step: a row of the step table.
struct StepKind {
  enum class Operands {
    Words,           // between minWords and maxWords words
    RestOfLine,      // the rest of the line as written, not empty
    WordsJoinLast,   // minWords words; any more join the last with blanks
  };
  const char* name;
  const char* synopsis;  // the operands, as the help shows them
  const char* help;      // what it does; '\n' continues on the next line
  Operands operands;
  size_t minWords;
  size_t maxWords;
  // What each operand must be before the step runs, a letter each, in
  // order (operands beyond the letters may be anything): 'd' a device of
  // the studio, by number or "name", 'n' a whole number, 'm' milliseconds
  // (a whole number, not negative), '*' anything.
  const char* operandKinds;
  // An action (press, wait, ...) starts a fresh list of commands for the
  // expectations after it, and shows the panel once done.
  bool action;
  Result<> (*run)(StepRunner& runner, const Words& words);
};

struct Step {
  const StepKind* kind;
  Words words;  // operands, quotes removed
};

using StepTable = std::vector<StepKind>;

// The step on `line`, one of `table`; nothing for a blank or comment line;
// or why the line is not a step.
Result<std::optional<Step>> parseStep(std::string_view line, const StepTable& table);

// Whether the operands of `step` fit its kinds (StepKind::operandKinds)
// in the studio of `devices`, so a whole scenario can be checked before any
// of it runs; why not, naming the operand:
//   "no device \"ZIR SDI Routr\"", "\"7x\" is not a whole number (<dest>)"
Result<> checkStep(const Step& step, const Devices& devices);

// The help of the steps of `table`, one entry a line.
std::string stepHelp(const StepTable& table);
