// The event stream's protocol: a page that starts from the first whole
// state and applies every change message it is sent ends with exactly the
// state GET /api/state gives, whether it reads every message, reads them
// late, or falls so far behind that it is sent the whole state again.
#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/panelhost/example_studio.h"
#include <nlohmann/json.hpp>

#include "panelhost/boundary/plugin_library.h"
#include "panelhost/web/panel_state.h"
#include "panelhost/web/web_api.h"

namespace {

using nlohmann::json;
using namespace std::chrono_literals;

// What the page does with the stream's messages (panel.js, apply()), kept
// as JSON: a whole state replaces everything, log included; a change
// replaces the panel, then each control by id, then each crosspoint by
// device and destination (added in destination order), and appends the log.
struct Page {
  json state;
  json log = json::array();
  std::uint64_t version = 0;
  int wholeStates = 0;
  int changes = 0;
  std::vector<std::string> types;  // of every message, in order

  void read(const std::string& event) {
    ASSERT_EQ(event.rfind("data: ", 0), 0u) << event;
    ASSERT_EQ(event.substr(event.size() - 2), "\n\n");
    const json message = json::parse(event.substr(6, event.size() - 8));
    ASSERT_GT(message.at("version").get<std::uint64_t>(), version) << "versions only go forward";
    version = message.at("version");
    types.push_back(message.at("type"));
    if (message.at("type") == "state") {
      ++wholeStates;
      state = message.at("state");
      log = message.at("log");
      return;
    }
    ASSERT_EQ(message.at("type"), "change");
    ++changes;
    apply(message.at("change"));
    for (const json& line : message.at("log")) {
      ASSERT_TRUE(log.empty() || line.at("seq") > log.back().at("seq")) << "log lines in order, each once";
      log.push_back(line);
    }
  }

  void apply(const json& change) {
    state["now"] = change.at("now");
    for (const char* whole : {"running", "violations", "panel"}) {
      if (change.contains(whole)) state[whole] = change.at(whole);
    }
    for (const json& control : change.at("controls")) {
      bool found = false;
      for (json& shown : state.at("panel").at("controls")) {
        if (shown.at("id") == control.at("id")) {
          shown = control;
          found = true;
        }
      }
      ASSERT_TRUE(found) << "a change names a control the page has: " << control.at("id");
    }
    for (json xp : change.at("crosspoints")) {
      const int device = xp.at("device");
      xp.erase("device");
      bool found = false;
      for (json& d : state.at("devices")) {
        if (d.at("number") != device) continue;
        found = true;
        json& points = d.at("crosspoints");
        auto at = points.begin();
        while (at != points.end() && (*at).at("dest") < xp.at("dest")) ++at;
        if (at != points.end() && (*at).at("dest") == xp.at("dest")) {
          *at = xp;
        } else {
          points.insert(at, xp);
        }
      }
      ASSERT_TRUE(found) << "a change names a device the page has: " << device;
    }
  }
};

class EventStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const Result<> opened = library.open(ZUV_OZO_PLUGIN_PATH);
    ASSERT_TRUE(opened) << opened.error();
    const std::string plugin = ZUV_OZO_PLUGIN_PATH;
    panel = std::make_unique<LivePanel>(library.loader(), plugin.substr(0, plugin.find_last_of('/')),
                                        exampleStudio(), nullptr, false);
    api = std::make_unique<WebApi>(*panel, "ZUV_OZo.so");
    api->setPort(8080);
  }

  json getState() {
    json got;
    WebApi::Head head{"GET", "/api/state", "127.0.0.1:8080", std::nullopt, 0, "", ""};
    api->answer(head, "", [&](WebReply reply) {
      EXPECT_EQ(reply.status, 200);
      got = json::parse(*reply.body);
    });
    return got;
  }

  // Sends the stream its messages until it has caught up.
  void pump(WebApi::Stream& stream, Page& page) {
    while (std::shared_ptr<const std::string> event = api->nextEvent(stream)) {
      page.read(*event);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }

  PluginLibrary library;
  std::unique_ptr<LivePanel> panel;
  std::unique_ptr<WebApi> api;
};

TEST_F(EventStreamTest, EveryChangeAppliedToTheFirstStateGivesTheStateServed) {
  ASSERT_TRUE(panel->start());
  // A page that reads every message, one that reads them now and then, and
  // one so slow that the journal of changes no longer reaches it.
  WebApi::Stream eager, late, slow;
  Page eagerPage, latePage, slowPage;
  pump(eager, eagerPage);
  pump(late, latePage);
  pump(slow, slowPage);
  ASSERT_EQ(eagerPage.wholeStates, 1);

  std::mt19937 random(2021);
  const auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };
  for (int step = 0; step < 400; ++step) {
    switch (pick(0, 5)) {
      case 0: (void)panel->press("Mon_" + std::to_string(pick(1, 3)), ""); break;
      case 1: (void)panel->press("GrpSelect", std::to_string(pick(1, 4))); break;
      case 2: (void)panel->press("SourceSel", std::to_string(pick(1, 32))); break;
      case 3: {
        const int device = pick(0, 1) ? 9 : 7, source = pick(1, 903);
        const int dest = pick(0, 2) ? 410 + pick(0, 2) : pick(1, 999);
        panel->inStudio([&](Studio& studio) { studio.deviceRoute(device, source, dest); });
        break;
      }
      case 4: {
        const int index = 77 + pick(0, 2);
        panel->inStudio([&](Studio& studio) { studio.deviceTally(7, index, "EXT " + std::to_string(index)); });
        break;
      }
      default: std::this_thread::sleep_for(std::chrono::milliseconds(pick(0, 30))); break;
    }
    pump(eager, eagerPage);
    if (pick(0, 9) == 0) pump(late, latePage);
    ASSERT_FALSE(HasFatalFailure());
  }
  const size_t slowRead = slowPage.types.size();
  // The highlight's timer and the tallies still on their way may change
  // the panel while this reads: it compares once nothing did in between.
  for (int attempt = 0;; ++attempt) {
    ASSERT_LT(attempt, 50) << "the panel never stood still";
    pump(eager, eagerPage);
    pump(late, latePage);
    pump(slow, slowPage);
    ASSERT_FALSE(HasFatalFailure());
    const json served = getState();
    if (served.at("version") != eagerPage.version || panel->version() != eagerPage.version ||
        latePage.version != eagerPage.version || slowPage.version != eagerPage.version) {
      std::this_thread::sleep_for(20ms);
      continue;
    }
    EXPECT_EQ(served.at("type"), "state");
    for (const Page* page : {&eagerPage, &latePage, &slowPage}) {
      EXPECT_EQ(page->state, served.at("state"));
      // The page keeps every line; the server the latest ones.
      json tail(page->log.end() - static_cast<std::ptrdiff_t>(served.at("log").size()), page->log.end());
      EXPECT_EQ(tail, served.at("log"));
    }
    break;
  }
  EXPECT_GT(eagerPage.changes, 300) << "the eager page was sent changes, not whole states";
  EXPECT_EQ(eagerPage.wholeStates, 1);
  EXPECT_EQ(latePage.wholeStates, 1) << "a page a few versions behind gets the changes merged";
  EXPECT_LT(latePage.changes, eagerPage.changes / 3);
  ASSERT_GT(slowPage.types.size(), slowRead);
  EXPECT_EQ(slowPage.types.at(slowRead), "state") << "the slow page starts over with a whole state";
  EXPECT_EQ(slowPage.wholeStates, 2);
}

TEST_F(EventStreamTest, APressSendsOnlyWhatItChangedAndStreamsAtOnePlaceShareTheText) {
  ASSERT_TRUE(panel->start());
  WebApi::Stream one, two;
  Page first, second;
  pump(one, first);
  ASSERT_EQ(first.wholeStates, 1);
  ASSERT_EQ(*panel->press("Mon_2", ""), "button=pressed");
  std::shared_ptr<const std::string> event = api->nextEvent(one);
  ASSERT_NE(event, nullptr);
  pump(two, second);
  const json message = json::parse(event->substr(6));
  EXPECT_EQ(message.at("type"), "change");
  json ids = json::array();
  for (const json& control : message.at("change").at("controls")) ids.push_back(control.at("id"));
  EXPECT_EQ(ids, json({"BG_Mon1", "BG_Mon2"})) << "the two tiles whose statesheet the panel set";
  EXPECT_EQ(message.at("change").at("crosspoints"), json::array());
  EXPECT_FALSE(message.at("change").contains("panel"));
  EXPECT_FALSE(message.at("change").contains("running"));

  WebApi::Stream three = one;
  ASSERT_EQ(*panel->press("SourceSel", "5"), "index=5");
  const std::shared_ptr<const std::string> a = api->nextEvent(one);
  const std::shared_ptr<const std::string> b = api->nextEvent(three);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a.get(), b.get()) << "one text for streams at one place";
  EXPECT_EQ(one.version, three.version);
  const json routed = json::parse(a->substr(6));
  json keys = json::array();
  for (const json& xp : routed.at("change").at("crosspoints")) keys.push_back({xp.at("device"), xp.at("dest")});
  EXPECT_EQ(keys, json({{7, 78}, {9, 411}})) << "the route and the router destination it reaches";
  EXPECT_EQ(routed.at("change").at("crosspoints").at(1).at("source"), 5);
}

}  // namespace
