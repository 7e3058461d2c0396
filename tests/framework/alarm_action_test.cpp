// The alarm action and the dispatcher's alarm check.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hostside/host_records.h"
#include "tests/support/probe_panel.h"
#include "tests/support/recording_host.h"

namespace {

using Call = RecordingHost::Call;
using Calls = std::vector<Call>;
using Strings = std::vector<std::string>;

class AlarmTest : public ::testing::Test {
 protected:
  AlarmTest() : panel(host.asHost(), "") { host.answer("XI '1' 'alm_'", "alm_1,alm_2"); }
  void readsBack(const char* control, const char* reply) {
    host.answer(std::string("TG '1' '") + control + "' 'value'", reply);
  }
  void control(const char* panelId, const char* controlId, const char* message) {
    ControlPayload payload(panelId, controlId, message);
    // Null whether the alarm action takes the event or onButton does.
    EXPECT_EQ(veskDispatch(&panel, payload.get(), 2), nullptr);
  }

  RecordingHost host;
  ProbePanel panel;
};

TEST_F(AlarmTest, DisabledAlarmEventsReachOnButton) {
  control("1", "ActionAll", "alarm=3");
  control("1", "AckAll", "");
  EXPECT_TRUE(host.calls().empty());
  EXPECT_EQ(panel.hooks, (Strings{"button 1 ActionAll alarm=3", "button 1 AckAll ="}));
}

TEST_F(AlarmTest, ActionAllSetsStateAndValue) {
  panel.enableAlarms();
  control("2", "ActionAll", "alarm=3");  // the event's panel is not looked at
  EXPECT_EQ(host.calls(), (Calls{{"XI '1' 'alm_'", 0},
                                 {"alm_1,alm_2", 5},
                                 {"TP 'alarm=3' '1' 'alm_1'", 0},
                                 {"TP 'value=3' '1' 'alm_1'", 0},
                                 {"TP 'alarm=3' '1' 'alm_2'", 0},
                                 {"TP 'value=3' '1' 'alm_2'", 0}}));
  EXPECT_TRUE(panel.hooks.empty());
}

TEST_F(AlarmTest, AcknowledgeWritesFourOnlyWhereNeeded) {
  readsBack("alm_1", "value=1");
  readsBack("alm_2", "value=2");
  panel.actionAlarms("ack");
  EXPECT_EQ(host.calls(), (Calls{{"XI '1' 'alm_'", 0},
                                 {"alm_1,alm_2", 5},
                                 {"TP 'alarm=ack' '1' 'alm_1'", 0},
                                 {"TG '1' 'alm_1' 'value'", 0},
                                 {"value=1", 5},
                                 {"TP 'value=4' '1' 'alm_1'", 0},
                                 {"TP 'alarm=ack' '1' 'alm_2'", 0},
                                 {"TG '1' 'alm_2' 'value'", 0},
                                 {"value=2", 5}}));
}

TEST_F(AlarmTest, AckAllActsAsStateFour) {
  panel.enableAlarms();
  readsBack("alm_1", "value=1");
  readsBack("alm_2", "value=2");
  control("1", "AckAll", "anything=9");
  EXPECT_EQ(host.commands(), (Strings{"XI '1' 'alm_'", "TP 'alarm=4' '1' 'alm_1'", "TG '1' 'alm_1' 'value'",
                                      "TP 'value=4' '1' 'alm_1'", "TP 'alarm=4' '1' 'alm_2'",
                                      "TG '1' 'alm_2' 'value'"}));
  EXPECT_TRUE(panel.hooks.empty());
}

TEST_F(AlarmTest, AcknowledgeKeepsZeroAndTwoToFive) {
  struct Case {
    const char* readBack;  // null: no reply
    bool rewritten;
  } cases[] = {
      {"value=0", false}, {"value=2", false}, {"value=3", false}, {"value=4", false}, {"value=5", false},
      {"value=1", true},  {"value=6", true},  {"value=9", true},  {"value=-1", true}, {"value=12", true},
      // Unreadable: the read-back is empty, whose number is 0: left alone.
      {nullptr, false},   {"text=1", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.readBack ? c.readBack : "null");
    RecordingHost one;
    one.answer("XI '1' 'alm_'", "alm_1");
    one.answer("TG '1' 'alm_1' 'value'", c.readBack);
    ProbePanel alarms(one.asHost(), "");
    alarms.actionAlarms("ack");
    Strings expected{"XI '1' 'alm_'", "TP 'alarm=ack' '1' 'alm_1'", "TG '1' 'alm_1' 'value'"};
    if (c.rewritten) expected.push_back("TP 'value=4' '1' 'alm_1'");
    EXPECT_EQ(one.commands(), expected);
  }
}

TEST_F(AlarmTest, StatesWithoutANumberSetOnlyTheAlarm) {
  struct Case {
    const char* state;
    Strings commands;
  } cases[] = {
      {"10", {"XI '1' 'alm_'", "TP 'alarm=10' '1' 'alm_1'", "TP 'alarm=10' '1' 'alm_2'"}},
      {"", {"XI '1' 'alm_'", "TP 'alarm=' '1' 'alm_1'", "TP 'alarm=' '1' 'alm_2'"}},
      {"alarm", {"XI '1' 'alm_'", "TP 'alarm=alarm' '1' 'alm_1'", "TP 'alarm=alarm' '1' 'alm_2'"}},
      // One character is a state number: a non-digit reads as 0.
      {"x", {"XI '1' 'alm_'", "TP 'alarm=x' '1' 'alm_1'", "TP 'value=0' '1' 'alm_1'",
             "TP 'alarm=x' '1' 'alm_2'", "TP 'value=0' '1' 'alm_2'"}},
      {"7", {"XI '1' 'alm_'", "TP 'alarm=7' '1' 'alm_1'", "TP 'value=7' '1' 'alm_1'",
             "TP 'alarm=7' '1' 'alm_2'", "TP 'value=7' '1' 'alm_2'"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    host.clear();
    panel.actionAlarms(c.state);
    EXPECT_EQ(host.commands(), c.commands);
  }
}

TEST_F(AlarmTest, ActionAllMessageForms) {
  panel.enableAlarms();
  control("1", "ActionAll", "alarm");  // no '=': the empty state
  EXPECT_EQ(host.commands(), (Strings{"XI '1' 'alm_'", "TP 'alarm=' '1' 'alm_1'", "TP 'alarm=' '1' 'alm_2'"}));
  host.clear();
  control("1", "ActionAll", "reset=1");  // not "alarm": the panel's own
  control("1", "SourceSel", "alarm=1");
  EXPECT_TRUE(host.calls().empty());
  EXPECT_EQ(panel.hooks, (Strings{"button 1 ActionAll reset=1", "button 1 SourceSel alarm=1"}));
}

TEST_F(AlarmTest, EmptyOrMissingListSendsOnlyTheQuery) {
  for (const char* reply : {"", static_cast<const char*>(nullptr)}) {
    RecordingHost one;
    one.answer("XI '1' 'alm_'", reply);
    ProbePanel alarms(one.asHost(), "");
    alarms.actionAlarms("3");
    EXPECT_EQ(one.commands(), Strings{"XI '1' 'alm_'"});
  }
}

}  // namespace
