// Parsing scenario and shell lines.
#include "panelhost/steps/step.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/panelhost/example_studio.h"

#include "panelhost/steps/step_runner.h"

namespace {

using Words = std::vector<std::string>;

TEST(StepParse, Steps) {
  struct Case {
    const char* line;
    const char* verb;
    Words words;
  } cases[] = {
      {"press SourceSel 5", "press", {"SourceSel", "5"}},
      {"  press Mon_1  ", "press", {"Mon_1"}},
      {"press 2/SourceSel index=5", "press", {"2/SourceSel", "index=5"}},
      {"tally \"ZIR SDI Router\" 78 \"CAM 2\"", "tally", {"ZIR SDI Router", "78", "CAM 2"}},
      {"tally 7 78 \"\"", "tally", {"7", "78", ""}},
      {"wait 250", "wait", {"250"}},
      {"property \"myParam=a b\"", "property", {"myParam=a b"}},
      {"expect TP 'text=CAM 1' '1' 'VID_1'", "expect", {"TP 'text=CAM 1' '1' 'VID_1'"}},
      {"expect-answer \"\"", "expect-answer", {""}},
      {"expect-answer myParam=a \"b\"", "expect-answer", {"myParam=a \"b\""}},
      {"expect-property VID_1 text CAM  5", "expect-property", {"VID_1", "text", "CAM 5"}},
      {"expect-property VID_1 text \"\"", "expect-property", {"VID_1", "text", ""}},
      {"expect-tally \"ZIR SDI Router\" 77 CAM 5", "expect-tally", {"ZIR SDI Router", "77", "CAM 5"}},
      {"close", "close", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const Result<std::optional<Step>> step = parseStep(c.line, StepRunner::steps());
    ASSERT_TRUE(step) << step.error();
    ASSERT_TRUE(step->has_value());
    EXPECT_STREQ((*step)->kind->name, c.verb);
    EXPECT_EQ((*step)->words, c.words);
  }
}

TEST(StepParse, NoStepsAndErrors) {
  for (const char* line : {"", "   ", "# a comment", "  # indented comment"}) {
    const Result<std::optional<Step>> step = parseStep(line, StepRunner::steps());
    ASSERT_TRUE(step) << line;
    EXPECT_FALSE(step->has_value()) << line;
  }
  struct Case {
    const char* line;
    const char* reason;
  } cases[] = {
      {"jump 3", "unknown step 'jump'"},
      {"press", "'press' takes 1 or 2 operand(s), not 0"},
      {"wait", "takes 1"},
      {"tally 7 78", "takes 3"},
      {"close now", "takes 0"},
      {"press \"Mon_1", "not closed"},
      {"expect", "needs the text"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const Result<std::optional<Step>> step = parseStep(c.line, StepRunner::steps());
    ASSERT_FALSE(step);
    EXPECT_NE(step.error().find(c.reason), std::string::npos) << step.error();
  }
}

}  // namespace

namespace {

// Each step's operands against the studio, before anything runs: the
// built-in studio has device 9 "ZIR VESK Packager" and 7 "ZIR SDI Router".
TEST(StepCheck, OperandsFitTheStudio) {
  const Devices devices = exampleStudio();
  struct Case {
    const char* line;
    const char* reason;  // empty: it fits
  } cases[] = {
      {"tally \"ZIR SDI Router\" 78 \"CAM 2\"", ""},
      {"tally 7 78 \"\"", ""},
      {"expect-tally \"ZIR SDI Router\" 77 CAM 5", ""},
      {"expect-crosspoint 9 410 5", ""},
      {"route \"ZIR VESK Packager\" 5 -1", ""},
      {"wait 0", ""},
      {"press SourceSel 99", ""},  // a source the studio lacks is the panel's business: sent with a note
      {"expect-tally \"ZIR SDI Routr\" 77 CAM 5", "no device \"ZIR SDI Routr\""},
      {"tally 8 78 x", "no device \"8\""},
      {"tally 7x 78 x", "no device \"7x\""},
      {"expect-crosspoint 9 4l0 5", "\"4l0\" is not a whole number (<dest>)"},
      {"route 9 5 99999999999", "\"99999999999\" is not a whole number (<dest>)"},
      {"expect-tally 7 \"\" CAM 5", "\"\" is not a whole number (<dest>)"},
      {"wait -5", "\"-5\" is not a number of milliseconds (<ms>)"},
      {"wait 1.5", "\"1.5\" is not a number of milliseconds (<ms>)"},
      {"tally \"\x1b[2J\" 1 x", "no device \"\\x1b[2J\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const Result<std::optional<Step>> step = parseStep(c.line, StepRunner::steps());
    ASSERT_TRUE(step && *step);
    const Result<> fits = checkStep(**step, devices);
    if (*c.reason == '\0') {
      EXPECT_TRUE(fits) << fits.error();
    } else {
      ASSERT_FALSE(fits);
      EXPECT_EQ(fits.error(), c.reason);
    }
  }
}

}  // namespace
