// The trace reader: the logs a studio engineer sends (a viewer's saved file,
// a transcript, Wine's debug output), panels interleaved, records continued
// and cut short, texts with quotes and bytes outside ASCII, and logs it must
// refuse; and what the framework writes read back byte for byte.
#include "panelhost/boundary/trace_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "hostside/host_records.h"
#include "tests/support/debug_capture.h"
#include "tests/support/probe_panel.h"
#include "tests/support/recording_host.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

// Each record as "<panel id> <seq> <kind> <operand>|<operand>...", texts in
// brackets.
std::vector<std::string> summary(const TraceLog& log) {
  std::vector<std::string> out;
  for (const TraceRecord& r : log.records) {
    std::string line = r.panelId() + " " + std::to_string(r.seq) + " " + r.kind;
    for (const TraceOperand& o : r.operands) {
      line += " " + (o.quoted ? "[" + o.text + "]" : o.text);
      if (o.cut) line += "~" + std::to_string(o.length);
    }
    out.push_back(line);
  }
  return out;
}

TEST(TraceLog, ReadsTheLogsEngineersSend) {
  struct Case {
    const char* name;
    std::string log;
    std::vector<std::string> records;
    std::vector<std::string> notes;  // the start of each note
  };
  const std::vector<Case> cases = {
      {"a viewer's saved file: its own columns before each line, CR LF",
       "00000001\t0.00000000\t[4242] VESK-TRACE P 1 1 0 . new 'C:\\\\Panels'\r\n"
       "00000002\t0.00100000\t[4242] some other program's line\r\n"
       "00000003\t0.00200000\t[4242] VESK-TRACE P 1 2 3 . command 'SD \\'ZIR SDI Router\\'' '7 0'\r\n",
       {"P#1 1 new [C:\\Panels]", "P#1 2 command [SD 'ZIR SDI Router'] [7 0]"},
       {}},
      {"a transcript's debug lines",
       "  [     0 ms] -> create the panel\n"
       "  [     0 ms] debug: VESK-TRACE P 1 1 0 . new ''\n"
       "  [    20 ms] debug: VESK-TRACE P 1 2 20 . tally 7 77 'CAM 5'\n",
       {"P#1 1 new []", "P#1 2 tally 7 77 [CAM 5]"},
       {}},
      {"Wine's debug output: the line in double quotes, C escapes",
       "0024:warn:debugstr:OutputDebugStringA \"VESK-TRACE P 1 1 0 . new 'C:\\\\\\\\x'\"\n"
       "0024:warn:debugstr:OutputDebugStringA \"VESK-TRACE P 1 2 0 . control '1' 'A' 'say \\\"hi\\\"'\"\n",
       {"P#1 1 new [C:\\x]", "P#1 2 control [1] [A] [say \"hi\"]"},
       {}},
      {"two panels interleaved, records continued across lines, each record in its panel's order",
       "VESK-TRACE P 1 1 0 . new ''\n"
       "VESK-TRACE P 1 2 5 + tally 7 77 'CAM\n"
       "VESK-TRACE Q 2 1 6 . new 'q'\n"
       "VESK-TRACE P 1 2 5 + \\xC3\\xA9 it\\'s\n"
       "VESK-TRACE P 1 2 5 .  5'\n",
       {"P#1 1 new []", "P#1 2 tally 7 77 [CAM\xC3\xA9 it's 5]", "Q#2 1 new [q]"},
       {}},
      {"a text the trace cut",
       "VESK-TRACE P 1 1 0 . new ''\nVESK-TRACE P 1 2 0 . answer 'abc'~9000\n",
       {"P#1 1 new []", "P#1 2 answer [abc]~9000"},
       {}},
      {"the last line cut short: what came before is kept",
       "VESK-TRACE P 1 1 0 . new ''\nVESK-TRACE P 1 2 0 . tally 7 77 'CA",
       {"P#1 1 new []"},
       {"log:2: a record cut short at the end of the log (a text is not closed)"}},
      {"a continued record whose end never came",
       "VESK-TRACE P 1 1 0 . new ''\nVESK-TRACE P 1 2 0 + tally 7 77 'CA\n",
       {"P#1 1 new []"},
       {"log:2: record 2 of P#1 never ends"}},
      {"Wine's line cut before its closing quote",
       "VESK-TRACE P 1 1 0 . new ''\n0024:warn:debugstr:OutputDebugStringA \"VESK-TRACE P 1 2 0 . tally 7 77 'CAM 5'\n",
       {"P#1 1 new []"},
       {"log:2: a record cut short at the end of the log (the line is cut short)"}},
      {"a line a viewer caught twice is read once",
       "VESK-TRACE P 1 1 0 . new ''\nVESK-TRACE P 1 1 0 . new ''\n",
       {"P#1 1 new []"},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Result<TraceLog> log = readTraceLog(c.log, "log");
    ASSERT_TRUE(log) << log.error();
    EXPECT_EQ(summary(*log), c.records);
    ASSERT_EQ(log->notes.size(), c.notes.size());
    for (std::size_t i = 0; i < c.notes.size(); ++i) EXPECT_EQ(log->notes[i].rfind(c.notes[i], 0), 0u) << log->notes[i];
  }
}

TEST(TraceLog, RefusesWhatIsNotATrace) {
  struct Case {
    const char* log;
    const char* error;
  };
  const Case cases[] = {
      {"", "log holds no trace: no line carries \"VESK-TRACE\" (was the trace on?"},
      {"  [     0 ms] <- SD 'ZIR SDI Router'\n", "log holds no trace"},
      {"VESK-TRACE P 1 1 0 . new ''\nVESK-TRACE P 1 2 0 . tally 7 'x\\q'\nVESK-TRACE P 1 3 0 . timer 1\n",
       "log:2: not a trace record: unknown escape \\q"},
      {"VESK-TRACE P one 1 0 . new ''\nVESK-TRACE P 1 1 0 . new ''\n",
       "log:1: not a trace record: the line does not start with marker, panel, instance"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log);
    const Result<TraceLog> log = readTraceLog(c.log, "log");
    ASSERT_FALSE(log);
    EXPECT_EQ(log.error().rfind(c.error, 0), 0u) << log.error();
  }
}

TEST(TraceLog, ChoosesOnePanel) {
  const Result<TraceLog> log = readTraceLog(
      "VESK-TRACE P 1 1 0 . new ''\nVESK-TRACE Q 2 1 0 . new ''\nVESK-TRACE Q 3 1 0 . new ''\n", "log");
  ASSERT_TRUE(log);
  struct Case {
    const char* wanted;
    const char* chosen;  // the panel id, or the error's start
  };
  const Case cases[] = {
      {"P", "P#1"},
      {"Q#3", "Q#3"},
      {"", "the trace holds 3 panels: P#1, Q#2, Q#3; choose one with --panel"},
      {"Q", "the trace holds 2 panels named Q: Q#2, Q#3; choose one with --panel"},
      {"R", "the trace holds no panel R; it holds P#1, Q#2, Q#3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wanted);
    const Result<std::vector<TraceRecord>> records = tracePanel(*log, c.wanted);
    EXPECT_EQ(records ? records->front().panelId() : records.error(), c.chosen);
  }
}

// What the framework writes, read back: texts with apostrophes, backslashes,
// control characters and UTF-8 come back byte for byte, over as many
// continued lines as they take; a text over the bound comes back cut.
TEST(TraceLog, ReadsBackWhatTheFrameworkWrites) {
#if defined(_WIN32)
  SetEnvironmentVariableA("VESK_TRACE", "Writer");
#else
  setenv("VESK_TRACE", "Writer", 1);
#endif
  RecordingHost host;
  DebugCapture capture;
  std::string long_text;
  for (int i = 0; i < 700; ++i) long_text += "it's \\ \"q\"\t\xC3\xA9\n"[i % 14];
  const std::vector<std::string> texts = {"", "CAM 5", "it's \\ \"q\" \xC3\xA9\x01\x7f", long_text};
  {
    ProbePanel panel(&host, "C:\\Studio A\\Panels", "Writer");
    for (const std::string& text : texts) {
      TallyPayload tally(7, 77, text);
      panel.dispatch(tally.get(), VESK_EVENT_TALLY);
    }
    TallyPayload huge(7, 78, std::string(5000, 'x'));
    panel.dispatch(huge.get(), VESK_EVENT_TALLY);
  }
#if defined(_WIN32)
  SetEnvironmentVariableA("VESK_TRACE", nullptr);
#else
  unsetenv("VESK_TRACE");
#endif
  std::string written;
  for (const std::string& line : capture.lines()) written += "[1234] " + line + "\n";
  const Result<TraceLog> log = readTraceLog(written, "log");
  ASSERT_TRUE(log) << log.error();
  ASSERT_EQ(log->records.size(), texts.size() + 3);  // new, the tallies, "AS"
  EXPECT_EQ(log->records[0].operands[0].text, "C:\\Studio A\\Panels");
  for (std::size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(i);
    const TraceRecord& tally = log->records[i + 1];
    ASSERT_EQ(tally.kind, "tally");
    ASSERT_EQ(tally.operands.size(), 3u);
    EXPECT_EQ(tally.operands[2].text, texts[i]);
    EXPECT_FALSE(tally.operands[2].cut);
  }
  const TraceOperand& cut = log->records[texts.size() + 1].operands[2];
  EXPECT_TRUE(cut.cut);
  EXPECT_EQ(cut.length, 5000u);
  EXPECT_EQ(cut.text, std::string(4096, 'x'));
  EXPECT_GT(capture.lines().size(), log->records.size() + 20);  // the long texts took many lines
}

}  // namespace
