// The host commands: exact texts, reply handling, and a missing host.
#include <climits>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/debug_capture.h"
#include "tests/support/probe_panel.h"
#include "tests/support/recording_host.h"

namespace {

using Strings = std::vector<std::string>;
using Call = RecordingHost::Call;

std::vector<std::string> itemsOf(vesk_stringlist list) {
  std::vector<std::string> out;
  for (auto it = list.begin(); it != list.end(); ++it) out.emplace_back(*it);
  return out;
}

struct CommandCase {
  const char* name;
  std::function<void(ProbePanel&)> call;
  const char* text;
};

const CommandCase kCommandCases[] = {
    {"textSet 3", [](ProbePanel& p) { p.textSet("text=Camera 1", "1", "VID_2"); }, "TP 'text=Camera 1' '1' 'VID_2'"},
    {"textSet 4", [](ProbePanel& p) { p.textSet("text", "Camera 1", "1", "VID_2"); }, "TP 'text=Camera 1' '1' 'VID_2'"},
    {"textSet apostrophe", [](ProbePanel& p) { p.textSet("text", "Bob's", "1", "VID_1"); }, "TP 'text=Bob's' '1' 'VID_1'"},
    {"textSet markers", [](ProbePanel& p) { p.textSet("text", "100%2", "%1", "VID_1"); }, "TP 'text=100%2' '%1' 'VID_1'"},
    {"makeRoute", [](ProbePanel& p) { p.makeRoute(12, 5, 411, "1", false); }, "RC 12 5 411 ',1' 0"},
    {"makeRoute flag", [](ProbePanel& p) { p.makeRoute(0, -3, 410, "%1", true); }, "RC 0 -3 410 ',%1' 1"},
    {"registerRoutes", [](ProbePanel& p) { p.registerRoutes(3, 77, 79, false); }, "RR 3 77 79"},
    {"registerRoutes add", [](ProbePanel& p) { p.registerRoutes(3, 77, 79, true); }, "RR 3 77 79 'ADD'"},
    {"registerRoutes extremes", [](ProbePanel& p) { p.registerRoutes(INT_MIN, INT_MIN, INT_MIN, true); },
     "RR -2147483648 -2147483648 -2147483648 'ADD'"},
    {"pollRoutes", [](ProbePanel& p) { p.pollRoutes(3, 77, 79); }, "RP 3 77 79"},
    {"pollRoutes extremes", [](ProbePanel& p) { p.pollRoutes(INT_MIN, INT_MAX, INT_MIN); },
     "RP -2147483648 2147483647 -2147483648"},
    {"unregisterRoutes", [](ProbePanel& p) { p.unregisterRoutes(7); }, "RU 7"},
    {"armTimer", [](ProbePanel& p) { p.armTimer(1, 250); }, "ET 1 250"},
    {"armTimer 0", [](ProbePanel& p) { p.armTimer(1, 0); }, "ET 1"},
    {"armTimer extremes", [](ProbePanel& p) { p.armTimer(INT_MIN, INT_MIN); }, "ET -2147483648 -2147483648"},
    {"cancelTimer", [](ProbePanel& p) { p.cancelTimer(1); }, "ET 1"},
    {"openPanel", [](ProbePanel& p) { p.openPanel("1", "scr_mons.vesk_ui", ""); }, "PS '1' 'C:/panels/scr_mons.vesk_ui'"},
    {"openPanel args", [](ProbePanel& p) { p.openPanel("1", "a.vesk_ui", "x=1"); }, "PS '1' 'C:/panels/a.vesk_ui' 'x=1'"},
    {"textGet", [](ProbePanel& p) { vesk_string r; p.textGet("value", "1", "alm_3", r); }, "TG '1' 'alm_3' 'value'"},
    {"lookupDevice", [](ProbePanel& p) { p.lookupDevice("ZIR SDI Router", nullptr, nullptr); }, "SD 'ZIR SDI Router'"},
    {"lookupDevice markers", [](ProbePanel& p) { p.lookupDevice("%1%2", nullptr, nullptr); }, "SD '%1%2'"},
    {"controlList", [](ProbePanel& p) { p.controlList("1", "alm_"); }, "XI '1' 'alm_'"},
};

TEST(HostCommands, ExactTexts) {
  for (const CommandCase& c : kCommandCases) {
    SCOPED_TRACE(c.name);
    RecordingHost host;
    ProbePanel panel(host.asHost(), "C:/panels");
    c.call(panel);
    EXPECT_EQ(host.calls(), (std::vector<Call>{{c.text, 0}}));
    host.clear();
  }
}

TEST(HostCommands, NoHostSendsNothingAndReportsAsDocumented) {
  ProbePanel panel(nullptr, "C:/panels");
  for (const CommandCase& c : kCommandCases) c.call(panel);  // must not crash

  EXPECT_TRUE(panel.openPanel("1", "scr_mons.vesk_ui", ""));
  int device = 5;
  int second = 6;
  EXPECT_FALSE(panel.lookupDevice("ZIR SDI Router", &device, &second));
  EXPECT_EQ(device, 0);
  EXPECT_EQ(second, 0);
  EXPECT_TRUE(itemsOf(panel.controlList("1", "alm_")).empty());
  vesk_string result("stale");
  panel.textGet("value", "1", "alm_1", result);
  EXPECT_STREQ(result, "");
}

TEST(HostCommands, OpenPanelWithoutPathAndItsResult) {
  RecordingHost host;
  ProbePanel panel(host.asHost(), "");
  EXPECT_TRUE(panel.openPanel("1", "scr_mons.vesk_ui", ""));
  host.answerPanel(0);
  EXPECT_FALSE(panel.openPanel("1", "scr_mons.vesk_ui", ""));
  EXPECT_EQ(host.commands(), (Strings{"PS '1' 'scr_mons.vesk_ui'", "PS '1' 'scr_mons.vesk_ui'"}));
}

TEST(HostCommands, TextGetReadsTheValueForItsKey) {
  struct Case {
    const char* key;
    const char* reply;  // null: no reply
    const char* result;
    bool diagnostic;
  } cases[] = {
      {"value", "value=2", "2", false},
      {"value", "value=a=b", "a=b", false},
      {"value", "value", "", false},
      {"value", "text=2", "", true},
      {"value", "VALUE=2", "", true},
      {"value", nullptr, "", false},
      {"all", "value=2", "value=2", false},
      {"all", "anything at all", "anything at all", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " <- " + (c.reply ? c.reply : "null"));
    RecordingHost host;
    const std::string command = std::string("TG '1' 'alm_3' '") + c.key + "'";
    host.answer(command, c.reply);
    ProbePanel panel(host.asHost(), "");
    DebugCapture debug;
    vesk_string result("stale");
    panel.textGet(c.key, "1", "alm_3", result);
    EXPECT_STREQ(result, c.result);
    EXPECT_EQ(debug.lines().size(), c.diagnostic ? 1u : 0u);
    std::vector<Call> expected{{command, 0}};
    if (c.reply != nullptr) expected.push_back({c.reply, 5});  // handed back at once
    EXPECT_EQ(host.calls(), expected);
  }
}

TEST(HostCommands, TextGetDiagnosticLine) {
  RecordingHost host;
  host.answer("TG '1' 'alm_3' 'value'", "text=100%2");
  ProbePanel panel(host.asHost(), "");
  DebugCapture debug;
  vesk_string result;
  panel.textGet("value", "1", "alm_3", result);
  ASSERT_EQ(debug.lines().size(), 1u);
  // The reply reaches the line byte for byte: its "%2" is not filled in.
  EXPECT_EQ(debug.lines()[0],
            "textGet: value returned \"text\" was not the value requested \"value\" (value returned was "
            "\"text=100%2\" from control \"alm_3\", on panel \"1\")");
}

TEST(HostCommands, DebugPrintFillsMarkersOnce) {
  ProbePanel panel(nullptr, "");
  DebugCapture debug;
  panel.debugPrint("%2/%1/%3", "a%3", "b", "c");
  panel.debugPrint("plain");
  panel.debugPrint("%1 and %1 %9", "x", "y");
  EXPECT_EQ(debug.lines(), (Strings{"b/a%3/c", "plain", "x and x y"}));
}

TEST(HostCommands, LookupDeviceReadsTokensZeroAndOne) {
  struct Case {
    const char* reply;  // null: no reply
    bool found;
    int device;
    int second;
  } cases[] = {
      {"17 0", true, 17, 0},
      {"12 3", true, 12, 3},
      {"12", true, 12, 0},
      {" 12 3", true, 0, 12},
      {"'17' 0", true, 0, 17},
      {"-4 x", true, -4, 0},
      {"7abc 9", true, 7, 9},
      {"99999999999 -99999999999", true, 2147483647, -2147483647 - 1},
      {"", true, 0, 0},
      {nullptr, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply ? c.reply : "null");
    RecordingHost host;
    host.answer("SD 'ZIR SDI Router'", c.reply);
    ProbePanel panel(host.asHost(), "");
    int device = -1;
    int second = -1;
    EXPECT_EQ(panel.lookupDevice("ZIR SDI Router", &device, &second), c.found);
    EXPECT_EQ(device, c.device);
    EXPECT_EQ(second, c.second);
    int onlyDevice = -1;
    panel.lookupDevice("ZIR SDI Router", &onlyDevice, nullptr);
    EXPECT_EQ(onlyDevice, c.device);
    EXPECT_EQ(host.outstandingReplies(), 0u);
  }
}

TEST(HostCommands, ControlListSplitsTheReplyAtCommas) {
  struct Case {
    const char* reply;
    Strings items;
  } cases[] = {
      {"alm_1,alm_2", {"alm_1", "alm_2"}},
      {"alm_1", {"alm_1"}},
      {"", {}},
      {nullptr, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply ? c.reply : "null");
    RecordingHost host;
    host.answer("XI '1' 'alm_'", c.reply);
    ProbePanel panel(host.asHost(), "");
    EXPECT_EQ(itemsOf(panel.controlList("1", "alm_")), c.items);
    std::vector<Call> expected{{"XI '1' 'alm_'", 0}};
    if (c.reply != nullptr) expected.push_back({c.reply, 5});
    EXPECT_EQ(host.calls(), expected);
  }
}

}  // namespace
