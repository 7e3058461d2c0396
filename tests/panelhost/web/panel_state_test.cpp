// The JSON the web page draws: controls with their live properties, lists
// and group selectors on the chosen page, devices, log lines.
#include "panelhost/web/panel_state.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "panelhost/boundary/plugin_library.h"
#include "tests/panelhost/example_studio.h"
#include "panelhost/session/host_session.h"

namespace {

using nlohmann::json;
using Strings = std::vector<std::string>;

// The JSON of the views of a layout, of devices, and of a session.
json layoutState(const PanelLayout& layout, const Devices& devices, const std::string& id) {
  return toJson(viewPanel(layout, devices, id));
}
json devicesState(const Devices& devices) { return toJson(viewDevices(devices)); }
json sessionState(const HostSession& session) { return toJson(viewSession(session)); }

PanelLayout shippedLayout() {
  Result<PanelLayout> layout = PanelLayout::load(ZUV_OZO_LAYOUT_PATH);
  EXPECT_TRUE(layout) << layout.error();
  return layout ? *layout : PanelLayout();
}

const json& control(const json& panel, const std::string& id) {
  for (const json& c : panel.at("controls")) {
    if (c.at("id") == id) return c;
  }
  static const json none;
  ADD_FAILURE() << "no control " << id;
  return none;
}

Strings names(const json& items, const char* key = "name") {
  Strings out;
  for (const json& item : items) out.push_back(item.at(key).get<std::string>());
  return out;
}

TEST(PanelState, TheShippedLayoutAsThePageDrawsIt) {
  const json panel = layoutState(shippedLayout(), exampleStudio(), "1");
  EXPECT_EQ(panel.at("id"), "1");
  EXPECT_EQ(panel.at("title"), "Studio A - SCR monitors");
  EXPECT_EQ(panel.at("columns"), 6);
  EXPECT_EQ(panel.at("rows"), 6) << "the source list ends on row 6";
  EXPECT_EQ(names(panel.at("controls"), "id"),
            (Strings{"BG_Mon1", "BG_Mon2", "BG_Mon3", "Mon_1", "Mon_2", "Mon_3", "VID_1", "VID_2", "VID_3",
                     "GrpSelect", "SourceSel"}));

  struct Case {
    const char* id;
    const char* kind;
    std::array<int, 4> area;
    const char* caption;
  } cases[] = {
      {"BG_Mon1", "label", {1, 1, 2, 2}, ""},           {"Mon_2", "button", {3, 1, 2, 1}, "SCR MON 2"},
      {"VID_3", "label", {5, 2, 2, 1}, ""},             {"GrpSelect", "group selector", {1, 3, 6, 1}, "Groups"},
      {"SourceSel", "list", {1, 4, 6, 3}, "Sources"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const json& shown = control(panel, c.id);
    EXPECT_EQ(shown.at("kind"), c.kind);
    EXPECT_EQ(shown.at("area"), json(c.area));
    EXPECT_EQ(shown.at("caption"), c.caption);
  }
  EXPECT_EQ(control(panel, "BG_Mon1").at("properties"), (json{{"statesheet", "ZR_TakeHigh"}}));
  EXPECT_EQ(control(panel, "BG_Mon2").at("properties"), (json{{"statesheet", "ZRGroupDeselected"}}));
  EXPECT_EQ(control(panel, "VID_1").at("properties"), (json{{"text", ""}}));

  const json& groups = control(panel, "GrpSelect");
  EXPECT_EQ(names(groups.at("pages")), (Strings{"Cameras", "VT", "Graphics", "Remotes"}));
  EXPECT_EQ(groups.at("pages").at(0), (json{{"number", 1}, {"name", "Cameras"}, {"chosen", true}}));
  EXPECT_EQ(groups.at("pages").at(1).at("chosen"), false);

  const json& list = control(panel, "SourceSel");
  EXPECT_EQ(list.at("page"), 1);
  EXPECT_EQ(list.at("pageName"), "Cameras");
  EXPECT_EQ(list.at("lit"), 0);
  EXPECT_EQ(names(list.at("sources")), (Strings{"CAM 1", "CAM 2", "CAM 3", "CAM 4", "CAM 5", "CAM 6"}));
  EXPECT_EQ(list.at("sources").at(4), (json{{"number", 5}, {"name", "CAM 5"}, {"lit", false}}));
}

TEST(PanelState, ListAndGroupsFollowThePageAndIndexThePanelSet) {
  struct Case {
    const char* page;   // nullptr: property unset
    const char* index;  // nullptr: property unset
    int wantPage;
    const char* pageName;
    Strings sources;
    int lit;
    Strings litSources;
    int chosenGroup;  // 0: none chosen
  } cases[] = {
      {"2", "12", 2, "VT", {"VT 1", "VT 2", "VT 3", "VT 4"}, 12, {"VT 2"}, 2},
      {"3", "0", 3, "Graphics", {"GFX 1", "GFX 2", "CLEAN FEED", "PGM"}, 0, {}, 3},
      {"4", "5", 4, "Remotes", {"REMOTE 1", "REMOTE 2"}, 5, {}, 4},  // lit, but not on this page
      {nullptr, nullptr, 1, "Cameras", {"CAM 1", "CAM 2", "CAM 3", "CAM 4", "CAM 5", "CAM 6"}, 0, {}, 1},
      {"9", "1", 9, "", {}, 1, {}, 0},  // a page the list does not have
      {"0", "", 0, "", {}, 0, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("page ") + (c.page ? c.page : "unset") + ", index " + (c.index ? c.index : "unset"));
    PanelLayout layout = shippedLayout();
    LayoutControl* sourceSel = layout.find("SourceSel");
    ASSERT_NE(sourceSel, nullptr);
    sourceSel->properties.erase("page");
    if (c.page) sourceSel->properties["page"] = c.page;
    if (c.index) sourceSel->properties["index"] = c.index;

    const json panel = layoutState(layout, exampleStudio(), "1");
    const json& list = control(panel, "SourceSel");
    EXPECT_EQ(list.at("page"), c.wantPage);
    EXPECT_EQ(list.at("pageName"), c.pageName);
    EXPECT_EQ(names(list.at("sources")), c.sources);
    EXPECT_EQ(list.at("lit"), c.lit);
    Strings lit;
    for (const json& source : list.at("sources")) {
      if (source.at("lit") == true) lit.push_back(source.at("name"));
    }
    EXPECT_EQ(lit, c.litSources);
    int chosen = 0;
    for (const json& page : control(panel, "GrpSelect").at("pages")) {
      if (page.at("chosen") == true) chosen = page.at("number");
    }
    EXPECT_EQ(chosen, c.chosenGroup);
  }
}

TEST(PanelState, UnplacedControlsHaveNoAreaAndDoNotCountAsRows) {
  const Result<PanelLayout> layout = PanelLayout::fromJson(
      R"({"columns": 2, "controls": [
           {"id": "A", "kind": "button", "area": [1, 2, 1, 1]},
           {"id": "B", "kind": "label", "properties": {"text": "loose"}}]})");
  ASSERT_TRUE(layout) << layout.error();
  const json panel = layoutState(*layout, exampleStudio(), "7");
  EXPECT_EQ(panel.at("rows"), 2);
  EXPECT_EQ(control(panel, "A").at("area"), json({1, 2, 1, 1}));
  EXPECT_TRUE(control(panel, "B").at("area").is_null());
  EXPECT_EQ(control(panel, "B").at("properties").at("text"), "loose");
  EXPECT_FALSE(control(panel, "A").contains("sources"));
}

TEST(PanelState, DevicesShowEachCrosspointWithItsTallyThroughTieLines) {
  Devices devices = exampleStudio();
  devices.route(9, 22, 411);
  const json all = devicesState(devices);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all.at(0).at("name"), "ZIR VESK Packager");
  EXPECT_EQ(all.at(0).at("number"), 9);
  EXPECT_EQ(all.at(1).at("name"), "ZIR SDI Router");
  EXPECT_EQ(all.at(1).at("number"), 7);

  struct Case {
    size_t device;
    size_t row;
    int dest, source;
    const char* sourceName;
    const char* tally;
    const char* destName;  // the monitor the destination feeds
  } cases[] = {
      {0, 0, 410, 1, "CAM 1", "CAM 1", "SCR MON 1"},    {0, 1, 411, 22, "GFX 2", "GFX 2", "SCR MON 2"},
      {0, 2, 412, 24, "PGM", "PGM", "SCR MON 3"},       {1, 0, 77, 901, "PKG 410", "CAM 1", "SCR MON 1"},
      {1, 1, 78, 902, "PKG 411", "GFX 2", "SCR MON 2"}, {1, 2, 79, 903, "PKG 412", "PGM", "SCR MON 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dest);
    const json& crosspoints = all.at(c.device).at("crosspoints");
    ASSERT_EQ(crosspoints.size(), 3u);
    EXPECT_EQ(crosspoints.at(c.row), (json{{"dest", c.dest}, {"source", c.source}, {"sourceName", c.sourceName},
                                           {"tally", c.tally}, {"destName", c.destName}}));
  }
  devices.route(9, 5, 500);
  EXPECT_EQ(devicesState(devices).at(0).at("crosspoints").at(3),
            (json{{"dest", 500}, {"source", 5}, {"sourceName", "CAM 5"}, {"tally", "CAM 5"}}))
      << "a destination not named has no name";
}

// Keeps nothing: the session's own record is what is checked.
class Quiet : public SessionObserver {
 public:
  void entry(const SessionEntry&) override {}
};

TEST(PanelState, TheRoadOfOneTakeAsTheSessionRunsIt) {
  PluginLibrary library;
  const Result<> opened = library.open(ZUV_OZO_PLUGIN_PATH);
  ASSERT_TRUE(opened) << opened.error();
  Quiet quiet;
  const std::string plugin = ZUV_OZO_PLUGIN_PATH;
  HostSession session(library.loader(), plugin.substr(0, plugin.find_last_of('/')), exampleStudio(), quiet);

  json state = sessionState(session);
  EXPECT_EQ(state.at("running"), false);
  EXPECT_TRUE(state.at("panel").is_null());
  EXPECT_EQ(state.at("devices").size(), 2u);

  ASSERT_TRUE(session.start());
  (void)session.press({"Mon_2", "button=pressed", std::string("1"), true});
  (void)session.press({"GrpSelect", "button.003=3", std::string("1"), true});
  (void)session.press({"SourceSel", "index=22", std::string("1"), true});
  state = sessionState(session);
  EXPECT_EQ(state.at("running"), true);
  const json& panel = state.at("panel");
  EXPECT_EQ(panel.at("id"), "1");
  EXPECT_EQ(control(panel, "BG_Mon1").at("properties").at("statesheet"), "ZRGroupDeselected");
  EXPECT_EQ(control(panel, "BG_Mon2").at("properties").at("statesheet"), "ZR_TakeHigh");
  EXPECT_EQ(control(panel, "SourceSel").at("pageName"), "Graphics");
  EXPECT_EQ(control(panel, "SourceSel").at("lit"), 22);
  EXPECT_EQ(state.at("devices").at(0).at("crosspoints").at(1).at("source"), 22);

  session.advanceTo(session.studio().now() + 20);
  state = sessionState(session);
  EXPECT_EQ(control(state.at("panel"), "VID_2").at("properties").at("text"), "GFX 2");
  EXPECT_EQ(control(state.at("panel"), "SourceSel").at("lit"), 22);
  EXPECT_EQ(state.at("now"), session.studio().now());

  session.advanceTo(session.studio().now() + 230);
  state = sessionState(session);
  EXPECT_EQ(control(state.at("panel"), "SourceSel").at("lit"), 0) << "the highlight cleared 250 ms after the take";

  session.stop();
  state = sessionState(session);
  EXPECT_EQ(state.at("running"), false);
  EXPECT_EQ(state.at("violations"), json::array());
}

// A view kept up to date by the session's changes alone is, after every
// step, the view made whole: random presses (sources on and off the page
// shown, pages, monitors), routes made outside the panel (new destinations
// too), a device's own tallies, properties and the clock running on.
TEST(PanelState, AViewKeptByChangesIsTheWholeViewAfterEveryStep) {
  PluginLibrary library;
  const Result<> opened = library.open(ZUV_OZO_PLUGIN_PATH);
  ASSERT_TRUE(opened) << opened.error();
  Quiet quiet;
  const std::string plugin = ZUV_OZO_PLUGIN_PATH;
  HostSession session(library.loader(), plugin.substr(0, plugin.find_last_of('/')), exampleStudio(), quiet);
  (void)session.takeChanges();
  SessionView kept = viewSession(session);
  ASSERT_TRUE(session.start());

  std::mt19937 random(21);
  const auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };
  size_t crosspointsChanged = 0;
  for (int step = 0; step < 600; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    switch (pick(0, 6)) {
      case 0: (void)session.press({"Mon_" + std::to_string(pick(1, 3)), "", std::nullopt, false}); break;
      case 1: (void)session.press({"GrpSelect", std::to_string(pick(1, 5)), std::nullopt, false}); break;
      case 2: (void)session.press({"SourceSel", std::to_string(pick(0, 33)), std::nullopt, false}); break;
      case 3: session.studio().deviceRoute(pick(0, 1) ? 9 : 7, pick(1, 903),
                                           pick(0, 1) ? 410 + pick(0, 2) : pick(1, 999));
              session.settle();
              break;
      case 4: session.studio().deviceTally(7, 77 + pick(0, 2), "EXT " + std::to_string(pick(1, 9))); session.settle();
              break;
      case 5: (void)session.property(pick(0, 1) ? "myParam=" + std::to_string(step) : "return=all"); break;
      default: session.advanceTo(session.studio().now() + pick(0, 300)); break;
    }
    const HostSession::Changes changes = session.takeChanges();
    crosspointsChanged += changes.crosspoints.size();
    const ViewChange change = viewChange(session, changes, kept);
    EXPECT_LE(change.crosspoints.size(), 4u) << "a route names the crosspoints it reaches, not the table";
    applyChange(kept, change);
    ASSERT_EQ(toJson(kept), toJson(viewSession(session)));
  }
  EXPECT_GT(crosspointsChanged, 100u) << "the steps did change crosspoints";
  session.stop();
  applyChange(kept, viewChange(session, session.takeChanges(), kept));
  EXPECT_EQ(toJson(kept), toJson(viewSession(session)));
}

TEST(PanelState, MergedChangesDoWhatTheyDoOneAfterAnother) {
  Devices devices = exampleStudio();
  const SessionView start{true, 0, {}, viewPanel(shippedLayout(), devices, "1"), "", viewDevices(devices)};
  const auto crosspoint = [&](int device, int dest) {
    return CrosspointChange{device, viewCrosspoint(devices, device, dest)};
  };
  ViewChange first;
  first.now = 10;
  devices.route(9, 22, 411);
  first.crosspoints = {crosspoint(9, 411), crosspoint(7, 78)};
  ControlView lit = start.panel->controls.at(10);
  lit.lit = 22;
  first.controls = {lit};
  ViewChange second;
  second.now = 30;
  devices.route(9, 5, 411);
  devices.route(9, 6, 500);
  second.crosspoints = {crosspoint(9, 411), crosspoint(7, 78), crosspoint(9, 500)};
  second.running = false;
  ViewChange third;
  third.now = 40;
  third.panel = viewPanel(shippedLayout(), devices, "2");
  ControlView label = third.panel->controls.at(6);
  label.properties["text"] = "CAM 5";
  third.controls = {label};

  SessionView stepByStep = start;
  for (const ViewChange* change : {&first, &second, &third}) applyChange(stepByStep, *change);
  const ViewChange merged = mergeChanges({&first, &second, &third});
  SessionView atOnce = start;
  applyChange(atOnce, merged);
  EXPECT_EQ(toJson(atOnce), toJson(stepByStep));
  EXPECT_EQ(merged.crosspoints.size(), 3u) << "each crosspoint once";
  EXPECT_EQ(merged.controls.size(), 1u) << "a whole panel makes earlier control changes moot";
  EXPECT_EQ(merged.now, 40);
  EXPECT_EQ(stepByStep.devices.at(0).crosspoints.at(3).dest, 500) << "a new destination in its place";
  EXPECT_EQ(toJson(stepByStep.devices), toJson(viewDevices(devices)));
}

TEST(PanelState, WithNoLayoutShownTheStateNamesTheFileAndTheFolder) {
  PluginLibrary library;
  const Result<> opened = library.open(ZUV_OZO_PLUGIN_PATH);
  ASSERT_TRUE(opened) << opened.error();
  Quiet quiet;
  HostSession session(library.loader(), "/no/such folder", exampleStudio(), quiet);
  ASSERT_TRUE(session.start());
  const json state = sessionState(session);
  EXPECT_TRUE(state.at("panel").is_null());
  EXPECT_EQ(state.at("layoutMissing"), R"(warning: no layout "scr_mons.vesk_ui" in folder "/no/such folder": panel "1" shows nothing)");
  session.stop();
}

TEST(PanelState, LogLinesNameTheirKind) {
  using Kind = SessionEntry::Kind;
  struct Case {
    Kind kind;
    const char* name;
  } cases[] = {{Kind::Event, "event"},   {Kind::Command, "command"}, {Kind::Reply, "reply"},
               {Kind::Device, "device"}, {Kind::Note, "note"},       {Kind::Violation, "violation"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(logEntry({c.kind, 258, "ET 1"}, 12, 1765370000258),
              (json{{"seq", 12}, {"time", 258}, {"wall", 1765370000258}, {"kind", c.name}, {"text", "ET 1"}}));
  }
}

TEST(PanelState, WireTextReplacesBytesThatAreNotUtf8) {
  EXPECT_EQ(wireText(json{{"text", "CAM 5"}}), R"({"text":"CAM 5"})");
  EXPECT_EQ(wireText(json{{"text", "caf\xe9"}}), "{\"text\":\"caf\xef\xbf\xbd\"}");
  EXPECT_EQ(wireText(json{{"text", "line\nbreak"}}), R"({"text":"line\nbreak"})") << "one line per event";
}

}  // namespace
