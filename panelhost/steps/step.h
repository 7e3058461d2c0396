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

// The help of the steps of `table`, one entry a line.
std::string stepHelp(const StepTable& table);
