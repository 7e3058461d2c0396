// Dispatch of host events to the panel's hooks, answer blocks, and deletion
// through the host-facing table.
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hostside/host_records.h"
#include "tests/support/debug_capture.h"
#include "tests/support/probe_panel.h"
#include "tests/support/recording_host.h"

namespace {

using Strings = std::vector<std::string>;

// A panel as the host holds it: created on the heap, reached only through
// the table, deleted through slot 0.
class DispatchTest : public ::testing::Test {
 protected:
  DispatchTest() : panel(new ProbePanel(host.asHost(), "C:/panels")) {}
  ~DispatchTest() override {
    if (panel != nullptr) veskDelete(panel);
  }
  char* send(void* payload, int code) { return veskDispatch(panel, payload, code); }
  ProbePanel& probe() { return *static_cast<ProbePanel*>(panel); }

  RecordingHost host;
  vesk_client_callback* panel;
};

TEST_F(DispatchTest, TallyReachesOnRevertive) {
  TallyPayload tally(7, 78, "CAM 2");
  EXPECT_EQ(send(tally.get(), 1), nullptr);
  EXPECT_EQ(probe().hooks, Strings{"revertive 7 78 CAM 2"});
}

TEST_F(DispatchTest, ControlReachesOnButton) {
  ControlPayload control("1", "SourceSel", "index=5");
  EXPECT_EQ(send(control.get(), 2), nullptr);
  EXPECT_EQ(probe().hooks, Strings{"button 1 SourceSel index=5"});
}

TEST_F(DispatchTest, NullTallyOrControlCallsNoHook) {
  EXPECT_EQ(send(nullptr, 1), nullptr);
  EXPECT_EQ(send(nullptr, 2), nullptr);
  EXPECT_TRUE(probe().hooks.empty());
}

TEST_F(DispatchTest, PropertyAnswerComesInABlockFreedWithCode5) {
  probe().answer = "myParam=abc";
  char* block = send(const_cast<char*>("return=all"), 3);
  ASSERT_NE(block, nullptr);
  EXPECT_STREQ(block, "myParam=abc");
  EXPECT_EQ(probe().hooks, Strings{"parent return=all"});
  EXPECT_EQ(send(block, 5), nullptr);
}

// A host that hands a block back twice, or hands back a pointer of its own,
// must not make the panel free memory that is not its to free; a host that
// keeps every block gets no more answers after a handful.
TEST_F(DispatchTest, Code5FreesOnlyAnswerBlocksStillOut) {
  const DebugCapture debug;
  probe().answer = "myParam=abc";
  char* block = send(const_cast<char*>("return=all"), 3);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(send(block, 5), nullptr);
  EXPECT_EQ(send(block, 5), nullptr);  // a second time
  char own[] = "myParam=abc";
  EXPECT_EQ(send(own, 5), nullptr);
  EXPECT_EQ(debug.lines(), Strings(2, "code 5 ignored: not an answer block this panel returned"));

  std::vector<char*> kept;
  for (char* answer = send(const_cast<char*>("return=all"), 3); answer != nullptr;
       answer = send(const_cast<char*>("return=all"), 3)) {
    kept.push_back(answer);
  }
  EXPECT_EQ(kept.size(), 8u);
  EXPECT_EQ(debug.lines().back(), "property answer not returned: 8 answers are still to be handed back");
  EXPECT_EQ(send(kept.back(), 5), nullptr);
  kept.back() = send(const_cast<char*>("return=all"), 3);
  EXPECT_STREQ(kept.back(), "myParam=abc");
  for (char* answer : kept) send(answer, 5);
  EXPECT_EQ(debug.lines().size(), 3u);
}

TEST_F(DispatchTest, EmptyPropertyAnswerReturnsNull) {
  probe().answer = "";
  EXPECT_EQ(send(const_cast<char*>("return=instance"), 3), nullptr);
  EXPECT_EQ(send(nullptr, 3), nullptr);
  EXPECT_EQ(probe().hooks, (Strings{"parent return=instance", "parent ="}));
}

TEST_F(DispatchTest, TimerIdIsThePayloadValueItself) {
  EXPECT_EQ(send(reinterpret_cast<void*>(std::intptr_t{1}), 4), nullptr);
  EXPECT_EQ(send(reinterpret_cast<void*>(std::intptr_t{-7}), 4), nullptr);
  EXPECT_EQ(probe().hooks, (Strings{"timer 1", "timer -7"}));
}

TEST_F(DispatchTest, Codes6And7ReachTheirHooksAndOthersNothing) {
  int marker = 0;
  EXPECT_EQ(send(&marker, 6), nullptr);
  EXPECT_EQ(send(&marker, 7), nullptr);
  const std::string address = std::to_string(reinterpret_cast<std::uintptr_t>(&marker));
  EXPECT_EQ(probe().hooks, (Strings{"event6 " + address, "event7 " + address}));

  probe().hooks.clear();
  for (int code : {0, 8, -1, 1000}) EXPECT_EQ(send(&marker, code), nullptr) << code;
  EXPECT_EQ(send(nullptr, 5), nullptr);  // nothing to free
  EXPECT_TRUE(probe().hooks.empty());
  EXPECT_TRUE(host.calls().empty());
}

TEST_F(DispatchTest, DeletionRunsThePanelFirstThenSendsAS) {
  probe().onDestroy = [](ProbePanel& self) { self.unregisterRoutes(7); };
  void* const self = panel;
  EXPECT_EQ(panel->table->destroy(panel, 1), self);
  panel = nullptr;
  EXPECT_EQ(host.commands(), (Strings{"RU 7", "AS"}));
}

TEST_F(DispatchTest, DestroyWithoutFreeFlagOnlyDestroys) {
  alignas(ProbePanel) unsigned char storage[sizeof(ProbePanel)];
  vesk_client_callback* inPlace = new (storage) ProbePanel(host.asHost(), "");
  EXPECT_EQ(inPlace->table->destroy(inPlace, 0), inPlace);
  EXPECT_EQ(host.commands(), Strings{"AS"});
}

TEST(DispatchNullHost, EveryEventAndDeletionSendNothing) {
  vesk_client_callback* panel = new ProbePanel(nullptr, nullptr);
  TallyPayload tally(7, 77, "CAM 1");
  ControlPayload control("1", "AckAll", "");
  EXPECT_EQ(veskDispatch(panel, tally.get(), 1), nullptr);
  EXPECT_EQ(veskDispatch(panel, control.get(), 2), nullptr);
  EXPECT_EQ(veskDispatch(panel, const_cast<char*>("return=all"), 3), nullptr);
  EXPECT_EQ(veskDispatch(panel, nullptr, 4), nullptr);
  EXPECT_EQ(static_cast<ProbePanel*>(panel)->hooks.size(), 4u);
  veskDelete(panel);  // no host: nothing to send "AS" to, and no crash
}

}  // namespace
