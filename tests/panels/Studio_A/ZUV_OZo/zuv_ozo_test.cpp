// ZUV_OZo's behaviour, driven through dispatch as the host drives it.
#include "panels/Studio_A/ZUV_OZo/ZUV_OZo.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "panels/Studio_A/ZUV_OZo/export.h"
#include "hostside/allocation_counter.h"
#include "hostside/host_records.h"
#include "tests/support/debug_capture.h"
#include "tests/support/recording_host.h"

namespace {

using Call = RecordingHost::Call;
using Calls = std::vector<Call>;
using Strings = std::vector<std::string>;

constexpr const char* kNoAnswer = "<null>";

class ZuvOzoTest : public ::testing::Test {
 protected:
  ZuvOzoTest() {
    host.answer("SD 'ZIR VESK Packager'", "9 0");
    host.answer("SD 'ZIR SDI Router'", "7 0");
    panel = load_vesk_client_script(host.asHost(), "C:/panels");
    host.clear();
  }
  ~ZuvOzoTest() override {
    if (panel != nullptr) veskDelete(panel);
  }

  void control(const char* panelId, const char* controlId, const char* message) {
    ControlPayload payload(panelId, controlId, message);
    EXPECT_EQ(veskDispatch(panel, payload.get(), 2), nullptr);
  }
  void tally(int device, int index, const char* text) {
    TallyPayload payload(device, index, text);
    EXPECT_EQ(veskDispatch(panel, payload.get(), 1), nullptr);
  }
  void timer(int id) { EXPECT_EQ(veskDispatch(panel, reinterpret_cast<void*>(std::intptr_t{id}), 4), nullptr); }
  // Code 3, then the answer block handed back with code 5.
  std::string property(const char* message) {
    char* block = veskDispatch(panel, const_cast<char*>(message), 3);
    if (block == nullptr) return kNoAnswer;
    std::string answer(block);
    EXPECT_EQ(veskDispatch(panel, block, 5), nullptr);
    return answer;
  }
  ZUV_OZo::State state() { return static_cast<ZUV_OZo*>(static_cast<vesk_script_helper*>(panel))->state(); }
  // Sent since the last call, then forgotten.
  Strings sent() {
    Strings commands = host.commands();
    host.clear();
    return commands;
  }

  RecordingHost host;
  vesk_client_callback* panel = nullptr;
};

TEST(ZuvOzoStartUp, LooksUpShowsRegistersAndUnregistersAtTheEnd) {
  RecordingHost host;
  host.answer("SD 'ZIR VESK Packager'", "9 0");
  host.answer("SD 'ZIR SDI Router'", "7 0");
  vesk_client_callback* panel = load_vesk_client_script(host.asHost(), "C:/panels");
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(host.calls(), (Calls{{"SD 'ZIR VESK Packager'", 0},
                                 {"9 0", 5},
                                 {"SD 'ZIR SDI Router'", 0},
                                 {"7 0", 5},
                                 {"PS '1' 'C:/panels/scr_mons.vesk_ui'", 0},
                                 {"TP 'button.001=released' '1' 'GrpSelect'", 0},
                                 {"RR 7 77 79", 0},
                                 {"RP 7 77 79", 0}}));
  const ZUV_OZo::State s = static_cast<ZUV_OZo*>(static_cast<vesk_script_helper*>(panel))->state();
  EXPECT_EQ(s.packagerDevice, 9);
  EXPECT_EQ(s.routerDevice, 7);
  EXPECT_EQ(s.currentMonitor, 1);
  EXPECT_EQ(s.packagerDest, 410);
  EXPECT_EQ(s.selectedSource, 0);
  EXPECT_EQ(s.tallyMonitor, 0);

  host.clear();
  veskDelete(panel);
  EXPECT_EQ(host.commands(), (Strings{"RU 7", "AS"}));
}

TEST(ZuvOzoStartUp, FailedLookupsGoOnWithDeviceZero) {
  RecordingHost host;
  host.answer("SD 'ZIR VESK Packager'", "'9' 0");  // no number where the device's should be
  const DebugCapture debug;
  vesk_client_callback* panel = load_vesk_client_script(host.asHost(), "");  // the router: no reply
  EXPECT_EQ(host.commands(), (Strings{"SD 'ZIR VESK Packager'", "SD 'ZIR SDI Router'", "PS '1' 'scr_mons.vesk_ui'",
                                      "TP 'button.001=released' '1' 'GrpSelect'", "RR 0 77 79", "RP 0 77 79"}));
  EXPECT_EQ(debug.lines(), (Strings{"device \"ZIR VESK Packager\" not found: its commands go to device 0",
                                    "device \"ZIR SDI Router\" not found: its commands go to device 0"}));
  host.clear();
  ControlPayload take("1", "SourceSel", "index=5");
  veskDispatch(panel, take.get(), 2);
  EXPECT_EQ(host.commands(), (Strings{"RC 0 5 410 ',1' 0", "ET 1 250"}));
  host.clear();
  veskDelete(panel);
  EXPECT_EQ(host.commands(), (Strings{"RU 0", "AS"}));
}

TEST(ZuvOzoStartUp, NullHostSendsNothingAndTakesEveryEvent) {
  vesk_client_callback* panel = load_vesk_client_script(nullptr, nullptr);
  ASSERT_NE(panel, nullptr);
  ControlPayload take("1", "SourceSel", "index=5");
  ControlPayload monitor("1", "Mon_2", "button=pressed");
  TallyPayload tally(0, 77, "CAM 1");
  veskDispatch(panel, take.get(), 2);
  veskDispatch(panel, monitor.get(), 2);
  veskDispatch(panel, tally.get(), 1);
  veskDispatch(panel, reinterpret_cast<void*>(std::intptr_t{1}), 4);
  char* answer = veskDispatch(panel, const_cast<char*>("_events"), 3);
  EXPECT_STREQ(answer, "notify=*");
  veskDispatch(panel, answer, 5);
  const ZUV_OZo::State s = static_cast<ZUV_OZo*>(static_cast<vesk_script_helper*>(panel))->state();
  EXPECT_EQ(s.routerDevice, 0);
  EXPECT_EQ(s.packagerDevice, 0);
  EXPECT_EQ(s.currentMonitor, 2);
  EXPECT_EQ(s.tallyMonitor, 1);
  veskDelete(panel);
}

TEST_F(ZuvOzoTest, TakeRoutesAtOnceAndTheTimerClearsTheHighlight) {
  control("1", "SourceSel", "index=5");
  EXPECT_EQ(sent(), (Strings{"RC 9 5 410 ',1' 0", "ET 1 250"}));
  EXPECT_EQ(state().selectedSource, 5);
  timer(1);
  EXPECT_EQ(sent(), (Strings{"ET 1", "TP 'index=0' '1' 'SourceSel'"}));
  EXPECT_EQ(state().selectedSource, 5);
}

TEST_F(ZuvOzoTest, MonitorSelectionMovesHighlightAndDestination) {
  control("1", "Mon_3", "button=pressed");
  EXPECT_EQ(sent(), (Strings{"TP 'statesheet=ZRGroupDeselected' '1' 'BG_Mon1'",
                             "TP 'statesheet=ZR_TakeHigh' '1' 'BG_Mon3'"}));
  EXPECT_EQ(state().packagerDest, 412);
  control("1", "SourceSel", "index=5");
  EXPECT_EQ(sent(), (Strings{"RC 9 5 412 ',1' 0", "ET 1 250"}));

  control("1", "Mon_3", "button=pressed");  // already selected
  EXPECT_TRUE(sent().empty());

  control("1", "Mon_2", "button=pressed");  // keeps the source, routes nothing
  EXPECT_EQ(sent(), (Strings{"TP 'statesheet=ZRGroupDeselected' '1' 'BG_Mon3'",
                             "TP 'statesheet=ZR_TakeHigh' '1' 'BG_Mon2'"}));
  EXPECT_EQ(state().selectedSource, 5);
  EXPECT_EQ(state().packagerDest, 411);
  control("1", "SourceSel", "index=8");
  EXPECT_EQ(sent(), (Strings{"RC 9 8 411 ',1' 0", "ET 1 250"}));
}

TEST_F(ZuvOzoTest, ReselectingMonitorOneAtStartSendsNothing) {
  control("1", "Mon_1", "button=pressed");
  EXPECT_TRUE(sent().empty());
  EXPECT_EQ(state().packagerDest, 410);
}

TEST_F(ZuvOzoTest, GroupSelectPagesTheSourcesAndForgetsTheSource) {
  control("1", "SourceSel", "index=5");
  sent();
  control("1", "GrpSelect", "button.002=3");
  EXPECT_EQ(sent(), (Strings{"TP 'page=3' '1' 'SourceSel'"}));
  EXPECT_EQ(state().selectedSource, 0);
}

TEST_F(ZuvOzoTest, SourceValuesThatRouteNothing) {
  for (const char* message : {"index=0", "index=-3", "index=abc", "index=", "index"}) {
    SCOPED_TRACE(message);
    control("1", "SourceSel", "index=5");
    sent();
    control("1", "SourceSel", message);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(state().selectedSource, 0);
  }
}

TEST_F(ZuvOzoTest, EventsForOtherPanelsAndControlsAreIgnored) {
  struct Case {
    const char* panel;
    const char* control;
  } cases[] = {
      {"2", "SourceSel"}, {"2", "Mon_2"}, {"2", "GrpSelect"}, {"", "SourceSel"}, {"1x", "SourceSel"},
      {"1", "Mon_4"},     {"1", "Mon_"},  {"1", "mon_2"},     {"1", "VID_1"},    {"1", "ActionAll"},
      {"1", "AckAll"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.panel) + "/" + c.control);
    control(c.panel, c.control, "alarm=7");
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(state().currentMonitor, 1);
    EXPECT_EQ(state().selectedSource, 0);
  }
}

TEST_F(ZuvOzoTest, RouterTalliesLabelTheirMonitor) {
  struct Case {
    int device;
    int index;
    const char* text;
    const char* command;  // null: ignored
    int tallyMonitor;
  } cases[] = {
      {7, 77, "CAM 1", "TP 'text=CAM 1' '1' 'VID_1'", 1},
      {7, 79, "VT 2", "TP 'text=VT 2' '1' 'VID_3'", 3},
      {7, 78, "100%2 'x'", "TP 'text=100%2 'x'' '1' 'VID_2'", 2},  // byte for byte
      {7, 78, "", "TP 'text=' '1' 'VID_2'", 2},
      {7, 76, "CAM 9", nullptr, 2},
      {7, 80, "CAM 9", nullptr, 2},
      {9, 78, "CAM 9", nullptr, 2},  // the packager is not the router
      {0, 78, "CAM 9", nullptr, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.device) + "/" + std::to_string(c.index));
    tally(c.device, c.index, c.text);
    EXPECT_EQ(sent(), c.command ? Strings{c.command} : Strings{});
    EXPECT_EQ(state().tallyMonitor, c.tallyMonitor);
  }
}

TEST_F(ZuvOzoTest, OtherTimersAreOnlyStopped) {
  timer(7);
  timer(0);
  timer(-1);
  EXPECT_EQ(sent(), (Strings{"ET 7", "ET 0", "ET -1"}));
}

TEST_F(ZuvOzoTest, Properties) {
  struct Step {
    const char* message;
    const char* answer;
  } steps[] = {
      {"return=all", "myParam="},
      {"myParam=abc", kNoAnswer},
      {"return=all", "myParam=abc"},
      {"return=myParam", "myParam=abc"},
      {"return=instance", kNoAnswer},
      {"return", kNoAnswer},
      {"instance=cam2", kNoAnswer},
      {"instance=cam2", kNoAnswer},
      {"_events", "notify=*"},
      {"_events=x", "notify=*"},
      {"_commands", "myParam=[value]"},
      {"myParam.x=5", kNoAnswer},
      {"return=myParam", "myParam=5"},
      {"myParam=100%2 %1", kNoAnswer},
      {"return=myParam", "myParam=100%2 %1"},  // byte for byte
      {"return=all", "myParam=100%2 %1"},
      {"myParam", kNoAnswer},
      {"return=all", "myParam="},
      {"RETURN=all", kNoAnswer},
      {"unknown=1", kNoAnswer},
      {"", kNoAnswer},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.message);
    EXPECT_EQ(property(step.message), step.answer);
  }
  EXPECT_STREQ(state().instance, "cam2");
  EXPECT_TRUE(sent().empty()) << "properties send no commands";
}

// A host that answers nothing and keeps nothing, so that the only heap use
// measured is the panel's own.
class SilentHost : public client_host_base {
 public:
  std::intptr_t command(const char*, int) override { return 0; }
};

TEST(ZuvOzoHeap, EventsNeedNoHeapAndAPropertyReadTwoBlocks) {
  SilentHost host;
  vesk_client_callback* panel = load_vesk_client_script(host.asHost(), "C:/panels");
  ControlPayload take("1", "SourceSel", "index=5");
  ControlPayload monitor("1", "Mon_2", "button=pressed");
  TallyPayload tally(0, 78, "CAM 2");

  std::size_t before = allocationCount();
  veskDispatch(panel, take.get(), 2);
  veskDispatch(panel, reinterpret_cast<void*>(std::intptr_t{1}), 4);
  veskDispatch(panel, tally.get(), 1);
  veskDispatch(panel, monitor.get(), 2);
  EXPECT_EQ(allocationCount() - before, 0u) << "take, timer tick, tally and monitor change";

  veskDispatch(panel, const_cast<char*>("myParam=abc"), 3);
  before = allocationCount();
  char* answer = veskDispatch(panel, const_cast<char*>("return=all"), 3);
  veskDispatch(panel, answer, 5);
  EXPECT_EQ(allocationCount() - before, 2u) << "the parse buffer and the answer block";
  veskDelete(panel);
}

}  // namespace
