// Parsing scenario and shell lines.
#include "panelhost/steps/step.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

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
