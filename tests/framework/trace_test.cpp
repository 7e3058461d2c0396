// The framework's trace: the switch read at creation, one record per event
// and per command in the documented format, and lines that stay short and
// printable.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "framework/vesk_trace.h"
#include "hostside/host_records.h"
#include "tests/support/debug_capture.h"
#include "tests/support/probe_panel.h"
#include "tests/support/recording_host.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

// Sets VESK_TRACE for the panels created next; null unsets it.
void setTrace(const char* value) {
#if defined(_WIN32)
  SetEnvironmentVariableA(vesk_trace::kVariable, value);
#else
  if (value == nullptr) {
    unsetenv(vesk_trace::kVariable);
  } else {
    setenv(vesk_trace::kVariable, value, 1);
  }
#endif
}

// The lines with the time field (milliseconds, which vary) replaced by "T".
std::vector<std::string> withoutTimes(const std::vector<std::string>& lines) {
  static const std::regex time("^(VESK-TRACE \\S+ \\d+ \\d+) \\d+ ");
  std::vector<std::string> out;
  for (const std::string& line : lines) out.push_back(std::regex_replace(line, time, "$1 T "));
  return out;
}

// The instance number of a trace line.
int instanceOf(const std::string& line) {
  std::smatch match;
  static const std::regex instance("^VESK-TRACE \\S+ (\\d+) ");
  return std::regex_search(line, match, instance) ? std::stoi(match[1]) : -1;
}

class TraceTest : public ::testing::Test {
 protected:
  void TearDown() override { setTrace(nullptr); }
  RecordingHost host;
};

TEST_F(TraceTest, OnlyThePanelsTheVariableNames) {
  struct Case {
    const char* value;  // null: unset
    bool traced;
  };
  const Case cases[] = {{nullptr, false}, {"", false},         {"0", false},         {"off", false},
                        {"Other", false}, {"1", true},         {"all", true},        {"*", true},
                        {"ON", true},     {"other,probe", true}, {"Other; PROBE ", true}, {"prob", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value == nullptr ? "(unset)" : c.value);
    setTrace(c.value);
    DebugCapture capture;
    {
      ProbePanel panel(&host, "folder", "Probe");
      panel.dispatch(reinterpret_cast<void*>(4), VESK_EVENT_TIMER);
      panel.armTimer(1, 250);
      // Read once, at creation: a change afterwards does nothing to this panel.
      setTrace(c.traced ? "0" : "1");
      panel.dispatch(reinterpret_cast<void*>(4), VESK_EVENT_TIMER);
    }
    EXPECT_EQ(capture.lines().size(), c.traced ? 5u : 0u);  // new, timer, "ET 1 250", timer, "AS"
    host.clear();
  }
}

TEST_F(TraceTest, OneRecordPerEventAndCommandInTheDocumentedFormat) {
  setTrace("1");
  host.answer("SD 'ZIR SDI Router'", "7 0");
  DebugCapture capture;
  auto* panel = new ProbePanel(&host, "C:\\Panels", "Probe 1");
  panel->answer = "myParam=it's";

  TallyPayload tally(7, 77, "it's \"CAM\" \xC3\xA9\t");
  panel->dispatch(tally.get(), VESK_EVENT_TALLY);
  ControlPayload control("1", "SourceSel", "button.001.b=released=x");
  panel->dispatch(control.get(), VESK_EVENT_CONTROL);
  char message[] = "return=all";
  char* block = panel->dispatch(message, VESK_EVENT_PROPERTY);
  panel->dispatch(block, VESK_EVENT_RELEASE);
  panel->dispatch(message, VESK_EVENT_RELEASE);
  panel->dispatch(reinterpret_cast<void*>(1), VESK_EVENT_TIMER);
  panel->dispatch(nullptr, VESK_EVENT_6);
  panel->dispatch(nullptr, VESK_EVENT_CONTROL);
  int device = 0;
  panel->lookupDevice("ZIR SDI Router", &device, nullptr);
  panel->lookupDevice("Nothing", &device, nullptr);
  panel->openPanel("1", "scr_mons.vesk_ui", "");
  panel->makeRoute(9, 5, 410, "1", false);
  veskDelete(panel);

  const std::vector<std::string> want = {
      "VESK-TRACE Probe_1 N 1 T . new 'C:\\\\Panels'",
      "VESK-TRACE Probe_1 N 2 T . tally 7 77 'it\\'s \"CAM\" \\xC3\\xA9\\x09'",
      "VESK-TRACE Probe_1 N 3 T . control '1' 'SourceSel' 'button.001.b=released=x'",
      "VESK-TRACE Probe_1 N 4 T . property 'return=all'",
      "VESK-TRACE Probe_1 N 5 T . answer 'myParam=it\\'s'",
      "VESK-TRACE Probe_1 N 6 T . release ours",
      "VESK-TRACE Probe_1 N 7 T . release other",
      "code 5 ignored: not an answer block this panel returned",
      "VESK-TRACE Probe_1 N 8 T . timer 1",
      "VESK-TRACE Probe_1 N 9 T . event 6",
      "VESK-TRACE Probe_1 N 10 T . control null",
      "VESK-TRACE Probe_1 N 11 T . command 'SD \\'ZIR SDI Router\\'' '7 0'",
      "VESK-TRACE Probe_1 N 12 T . command 'SD \\'Nothing\\'' none",
      "VESK-TRACE Probe_1 N 13 T . command 'PS \\'1\\' \\'C:\\\\Panels/scr_mons.vesk_ui\\'' 1",
      "VESK-TRACE Probe_1 N 14 T . command 'RC 9 5 410 \\',1\\' 0' -",
      "VESK-TRACE Probe_1 N 15 T . delete",
      "VESK-TRACE Probe_1 N 16 T . command 'AS' -",
  };
  ASSERT_FALSE(capture.lines().empty());
  const int instance = instanceOf(capture.lines().front());
  std::vector<std::string> got = withoutTimes(capture.lines());
  for (std::string& line : got) {
    const std::string number = " " + std::to_string(instance) + " ";
    if (line.rfind("VESK-TRACE Probe_1" + number, 0) == 0) line.replace(18, number.size(), " N ");
  }
  EXPECT_EQ(got, want);
  // Nothing on the wire changed: the commands are the panel's own.
  EXPECT_EQ(host.commands(), (std::vector<std::string>{"SD 'ZIR SDI Router'", "SD 'Nothing'",
                                                        "PS '1' 'C:\\Panels/scr_mons.vesk_ui'",
                                                        "RC 9 5 410 ',1' 0", "AS"}));
}

TEST_F(TraceTest, EachPanelItsInstanceAndLongRecordsContinuedOnShortPrintableLines) {
  setTrace("1");
  DebugCapture capture;
  ProbePanel first(&host, "", "Probe");
  ProbePanel second(&host, "", "Probe");
  ASSERT_EQ(capture.lines().size(), 2u);
  EXPECT_EQ(instanceOf(capture.lines()[1]), instanceOf(capture.lines()[0]) + 1);

  struct Case {
    std::size_t length;
    const char* ends;  // how the record's last line ends
  };
  std::uint32_t seq = 1;
  for (const Case& c : {Case{150, "'"}, Case{1000, "'"}, Case{5000, "'~5000"}}) {
    ++seq;
    SCOPED_TRACE(c.length);
    const std::size_t before = capture.lines().size();
    std::string text;
    for (std::size_t i = 0; i < c.length; ++i) text += "ab'\\\n\xC3"[i % 6];
    TallyPayload tally(7, 77, text);
    second.dispatch(tally.get(), VESK_EVENT_TALLY);
    const std::vector<std::string> lines(capture.lines().begin() + static_cast<long>(before), capture.lines().end());
    ASSERT_FALSE(lines.empty());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      EXPECT_LE(line.size(), vesk_trace::kLineMax);
      EXPECT_NE(line.back(), ' ');
      for (const char ch : line) EXPECT_TRUE(ch >= 0x20 && ch <= 0x7e) << line;
      // Every line of the record: the same header, '+' but on the last.
      EXPECT_EQ(line.rfind("VESK-TRACE Probe " + std::to_string(instanceOf(capture.lines()[1])) + " " +
                               std::to_string(seq) + " ", 0),
                0u)
          << line;
      EXPECT_NE(line.find(i + 1 < lines.size() ? " + " : " . "), std::string::npos) << line;
    }
    EXPECT_EQ(lines.back().substr(lines.back().size() - std::string(c.ends).size()), c.ends);
    EXPECT_GT(lines.size(), c.length / vesk_trace::kLineMax);
  }
}

}  // namespace
