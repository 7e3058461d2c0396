// The live panel: the plug-in worked from many threads but called on one,
// on the real clock, with snapshots and a log for readers.
#include "panelhost/live/live_panel.h"

#include <atomic>
#include <cstdio>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "panelhost/boundary/plugin_library.h"
#include "panelhost/os/process_memory.h"
#include "panelhost/web/panel_state.h"
#include "tests/panelhost/example_studio.h"

namespace {

using namespace std::chrono_literals;
using nlohmann::json;

constexpr auto kPatience = 10s;  // only a broken panel host waits this long

// Every entry and the thread it was reported on: the panel's commands are
// reported from inside its calls, so their thread is the plug-in's.
class ThreadLog : public SessionObserver {
 public:
  void entry(const SessionEntry& e) override {
    std::lock_guard<std::mutex> lock(mutex);
    entries.push_back(e);
    threads.push_back(std::this_thread::get_id());
  }
  std::vector<std::string> commands() {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<std::string> out;
    for (const SessionEntry& e : entries) {
      if (e.kind == SessionEntry::Kind::Command) out.push_back(e.text);
    }
    return out;
  }
  std::mutex mutex;
  std::vector<SessionEntry> entries;
  std::vector<std::thread::id> threads;
};

class LivePanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const Result<> opened = library.open(ZUV_OZO_PLUGIN_PATH);
    ASSERT_TRUE(opened) << opened.error();
  }

  std::unique_ptr<LivePanel> make(bool replies = false) {
    const std::string plugin = ZUV_OZO_PLUGIN_PATH;
    return std::make_unique<LivePanel>(library.loader(), plugin.substr(0, plugin.find_last_of('/')),
                                       exampleStudio(), &console, replies);
  }

  // A property of a control in the latest snapshot ("" when unset).
  static std::string property(LivePanel& panel, const std::string& id, const std::string& key) {
    const json state = toJson(panel.latest(0).state);
    for (const json& c : state.at("panel").at("controls")) {
      if (c.at("id") == id) return c.at("properties").value(key, "");
    }
    return "<no control " + id + ">";
  }

  // Waits for snapshots until `wanted` holds of one; false after kPatience.
  static bool waitUntil(LivePanel& panel, const std::function<bool()>& wanted) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    std::uint64_t seen = panel.latest(0).version;
    while (!wanted()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      if (std::optional<LivePanel::Update> update = panel.waitForChange(seen, 0, 100ms)) seen = update->version;
    }
    return true;
  }

  PluginLibrary library;
  ThreadLog console;
};

TEST_F(LivePanelTest, EveryCallIntoThePlugInHappensOnTheLoopThread) {
  std::unique_ptr<LivePanel> panel = make();
  ASSERT_TRUE(panel->start());

  // Presses and property messages from several threads at once, as HTTP
  // handlers send them.
  std::vector<std::thread> workers;
  for (const char* monitor : {"Mon_1", "Mon_2", "Mon_3"}) {
    workers.emplace_back([&, monitor] {
      EXPECT_TRUE(panel->press(monitor, ""));
      const Result<std::optional<std::string>> answer = panel->property(std::string("return=all"));
      ASSERT_TRUE(answer);
      EXPECT_EQ(*answer, "myParam=");
    });
  }
  for (std::thread& w : workers) w.join();
  EXPECT_EQ(*panel->press("SourceSel", "5"), "index=5");
  ASSERT_TRUE(waitUntil(*panel, [&] { return property(*panel, "VID_1", "text") != ""; }));
  panel->stop();

  // The panel was created on the loop thread, not on this one, and every
  // entry after came from that same thread.
  std::lock_guard<std::mutex> lock(console.mutex);
  ASSERT_FALSE(console.entries.empty());
  const std::thread::id loop = console.threads.front();
  EXPECT_NE(loop, std::this_thread::get_id());
  for (size_t i = 0; i < console.entries.size(); ++i) {
    EXPECT_EQ(console.threads[i], loop) << console.entries[i].text;
  }
  EXPECT_NE(loop, std::this_thread::get_id());
}

TEST_F(LivePanelTest, TheHighlightClearsOnTheRealClockWithoutAnotherRequest) {
  std::unique_ptr<LivePanel> panel = make();
  ASSERT_TRUE(panel->start());
  ASSERT_TRUE(waitUntil(*panel, [&] { return property(*panel, "VID_2", "text") == "VT 1"; }))
      << "the router's first tallies arrive by themselves";

  ASSERT_EQ(*panel->press("Mon_2", ""), "button=pressed");
  ASSERT_EQ(*panel->press("GrpSelect", "3"), "button.003=3");
  const auto taken = std::chrono::steady_clock::now();
  ASSERT_EQ(*panel->press("SourceSel", "22"), "index=22");
  EXPECT_EQ(property(*panel, "SourceSel", "index"), "22");
  EXPECT_EQ(property(*panel, "BG_Mon2", "statesheet"), "ZR_TakeHigh");

  ASSERT_TRUE(waitUntil(*panel, [&] { return property(*panel, "SourceSel", "index") == "0"; }));
  EXPECT_GE(std::chrono::steady_clock::now() - taken, 240ms) << "not before the panel's 250 ms timer";
  EXPECT_EQ(property(*panel, "VID_2", "text"), "GFX 2");
  const json packager = toJson(panel->latest(0).state).at("devices").at(0);
  EXPECT_EQ(packager.at("crosspoints").at(1).at("tally"), "GFX 2");

  panel->stop();
  const std::vector<std::string> commands = console.commands();
  ASSERT_GE(commands.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(commands.end() - 2, commands.end()), (std::vector<std::string>{"RU 7", "AS"}));
  EXPECT_TRUE(panel->violations().empty());
  EXPECT_EQ(panel->latest(0).state.running, false);
}

TEST_F(LivePanelTest, PressesAndPropertiesSayWhyNothingWasSent) {
  std::unique_ptr<LivePanel> panel = make();
  const Result<std::string> early = panel->press("Mon_1", "");
  ASSERT_FALSE(early) << "before start";
  EXPECT_EQ(early.error(), "no panel is running");
  ASSERT_TRUE(panel->start());
  const Result<std::string> unknown = panel->press("Nope", "");
  ASSERT_FALSE(unknown);
  EXPECT_TRUE(panel->running()) << "a press of no control, not of no panel";
  EXPECT_EQ(unknown.error(), "the panel shows no control 'Nope'");

  Result<std::optional<std::string>> answer = panel->property("myParam=abc");
  ASSERT_TRUE(answer) << "delivered";
  EXPECT_EQ(*answer, std::nullopt);
  answer = panel->property("return=all");
  ASSERT_TRUE(answer);
  EXPECT_EQ(*answer, "myParam=abc");

  panel->stop();
  const Result<std::string> late = panel->press("Mon_1", "");
  ASSERT_FALSE(late);
  EXPECT_FALSE(panel->running());
  EXPECT_FALSE(panel->property("return=all")) << "not delivered";
  panel->stop();  // a second stop is harmless
}

TEST_F(LivePanelTest, ReadersGetTheLogAfterWhatTheyHaveSeen) {
  for (const bool replies : {false, true}) {
    SCOPED_TRACE(replies ? "with replies" : "without replies");
    std::unique_ptr<LivePanel> panel = make(replies);
    ASSERT_TRUE(panel->start());
    // The start-up tallies come first; after them nothing is due.
    ASSERT_TRUE(waitUntil(*panel, [&] { return property(*panel, "VID_3", "text") == "PGM"; }));
    const LivePanel::Update first = panel->latest(0);
    ASSERT_FALSE(first.log.empty());
    EXPECT_EQ(first.log.at(0).entry.text.rfind("create the panel", 0), 0u);
    EXPECT_EQ(first.logSeq, first.log.back().seq);
    bool sawReply = false;
    for (const LogLine& line : first.log) sawReply = sawReply || line.entry.kind == SessionEntry::Kind::Reply;
    EXPECT_EQ(sawReply, replies) << "\"SD\" is answered with a reply";

    ASSERT_TRUE(panel->press("Mon_3", ""));
    const LivePanel::Update next = panel->latest(first.logSeq);
    ASSERT_FALSE(next.log.empty());
    EXPECT_EQ(next.log.at(0).seq, first.logSeq + 1);
    EXPECT_EQ(next.log.at(0).entry.text, "control Mon_3 \"button=pressed\" on panel \"1\" (code 2)");
    EXPECT_GT(next.version, first.version);
    EXPECT_TRUE(panel->latest(next.logSeq).log.empty());
    panel->stop();
  }
}

TEST_F(LivePanelTest, WaitersAndWatchersHearOfAChangeAndAnAnswerComesWithoutWaiting) {
  std::unique_ptr<LivePanel> panel = make();
  std::atomic<int> told{0};
  std::mutex toldOnMutex;
  std::set<std::thread::id> toldOn;
  panel->watch([&] {
    ++told;
    std::lock_guard<std::mutex> lock(toldOnMutex);
    toldOn.insert(std::this_thread::get_id());
  });
  ASSERT_TRUE(panel->start());
  EXPECT_GT(told.load(), 0);
  // Let the start-up tallies arrive, then nothing is due.
  ASSERT_TRUE(waitUntil(*panel, [&] { return property(*panel, "VID_3", "text") == "PGM"; }));
  const std::uint64_t seen = panel->latest(0).version;
  EXPECT_EQ(panel->waitForChange(seen, 0, 50ms), std::nullopt) << "nothing happened";
  EXPECT_NE(panel->waitForChange(seen - 1, 0, 50ms), std::nullopt) << "already newer";

  std::future<std::optional<LivePanel::Update>> waiter =
      std::async(std::launch::async, [&] { return panel->waitForChange(seen, 0, kPatience); });
  EXPECT_EQ(waiter.wait_for(50ms), std::future_status::timeout);
  const int toldBefore = told;
  std::promise<std::string> sent;
  panel->press("Mon_3", "", [&](Result<std::string> message) { sent.set_value(message ? *message : message.error()); });
  EXPECT_EQ(sent.get_future().get(), "button=pressed");
  ASSERT_EQ(waiter.wait_for(kPatience), std::future_status::ready);
  EXPECT_NE(waiter.get(), std::nullopt);
  EXPECT_GT(told.load(), toldBefore);
  {
    // Told on the loop thread alone: the one the panel's entries come from.
    std::lock_guard<std::mutex> lock(toldOnMutex);
    std::lock_guard<std::mutex> consoleLock(console.mutex);
    EXPECT_EQ(toldOn, std::set<std::thread::id>{console.threads.front()});
  }

  panel->stop();
  std::promise<std::string> late;
  panel->property("return=all", [&](Result<std::optional<std::string>> answer) {
    late.set_value(answer ? "answered" : answer.error());
  });
  EXPECT_EQ(late.get_future().get(), "the panel host is stopping");
}

// A page worked for hours holds no more than at its start: nothing the
// session keeps grows with the presses once the log is full. Prints the
// figure; the heap is not measurable under a replaced allocator.
TEST_F(LivePanelTest, MemoryStaysFlatOverThousandsOfPresses) {
  const std::string plugin = ZUV_OZO_PLUGIN_PATH;
  LivePanel panel(library.loader(), plugin.substr(0, plugin.find_last_of('/')), exampleStudio(), nullptr, false);
  ASSERT_TRUE(panel.start());
  const auto presses = [&](int count) {
    for (int i = 0; i < count; ++i) ASSERT_TRUE(panel.press("SourceSel", std::to_string(1 + i % 6)));
  };
  presses(2000);  // the log (LivePanel::kLogKept entries) fills up first
  const long heapBefore = heapInUseKiB();
  const long residentBefore = residentKiB();
  presses(6000);
  const long heapAfter = heapInUseKiB();
  const long residentAfter = residentKiB();
  panel.stop();
  std::printf("figure: 6000 presses through LivePanel: heap in use %ld -> %ld KiB, resident %ld -> %ld KiB\n",
              heapBefore, heapAfter, residentBefore, residentAfter);
  if (heapBefore == 0) GTEST_SKIP() << "the heap is not measurable under this allocator";
  EXPECT_LT(heapAfter - heapBefore, 512);
}

}  // namespace
