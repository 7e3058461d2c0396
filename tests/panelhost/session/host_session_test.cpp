// The emulator's host side, with the real panel and with a rogue one.
#include "panelhost/session/host_session.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "panelhost/boundary/plugin_library.h"
#include "panelhost/support/file_path.h"
#include "tests/panelhost/example_studio.h"

namespace {

using Strings = std::vector<std::string>;

// Keeps the session's entries for the test to look at.
class Collect : public SessionObserver {
 public:
  void entry(const SessionEntry& e) override { entries.push_back(e); }
  std::vector<SessionEntry> entries;
};

vesk_load_function load(PluginLibrary& library, const char* path) {
  const Result<> opened = library.open(path);
  EXPECT_TRUE(opened) << opened.error();
  return library.loader();
}

TEST(HostSession, RunsTheRoadOfOneTake) {
  PluginLibrary library;
  Collect log;
  HostSession session(load(library, ZUV_OZO_PLUGIN_PATH), folderOf(ZUV_OZO_PLUGIN_PATH), exampleStudio(), log);
  ASSERT_TRUE(session.start());
  ASSERT_NE(session.layouts().layout(), nullptr) << "the panel showed its layout";
  EXPECT_EQ(session.layouts().shownPanel(), "1");
  EXPECT_TRUE(session.studio().registered(7, 77) && session.studio().registered(7, 79) && !session.studio().registered(7, 80));

  (void)session.press({"SourceSel", "index=5", std::string("1"), true});
  EXPECT_EQ(session.studio().devices().byNumber(9)->crosspoints.at(410), 5);
  EXPECT_EQ(session.layouts().layout()->find("SourceSel")->properties.at("index"), "5");
  session.advanceTo(session.studio().now() + 20);
  EXPECT_EQ(session.layouts().layout()->find("VID_1")->properties.at("text"), "CAM 5");
  session.advanceTo(session.studio().now() + 230);
  EXPECT_EQ(session.layouts().layout()->find("SourceSel")->properties.at("index"), "0");
  EXPECT_EQ(session.property("myParam=x"), std::nullopt);
  EXPECT_EQ(session.property("return=all"), "myParam=x");

  session.stop();
  const Strings& commands = session.commands();
  ASSERT_GE(commands.size(), 2u);
  EXPECT_EQ(Strings(commands.end() - 2, commands.end()), (Strings{"RU 7", "AS"}));
  EXPECT_TRUE(session.violations().empty());
}

TEST(HostSession, CarriesOutCommandsAndChecksHandBacks) {
  PluginLibrary library;
  Collect log;
  HostSession session(load(library, ZUV_OZO_PLUGIN_PATH), "", exampleStudio(), log);
  auto text = [](std::intptr_t reply) { return std::string(reinterpret_cast<const char*>(reply)); };
  auto ask = [&](const char* command) {
    const std::intptr_t reply = session.command(command, 0);
    if (reply == 0) return std::string("<null>");
    const std::string answer = text(reply);
    session.command(reinterpret_cast<const char*>(reply), 5);
    return answer;
  };
  EXPECT_EQ(ask("SD 'ZIR VESK Packager'"), "9 0");
  EXPECT_EQ(ask("SD 'ZIR SDI Router'"), "7 0");
  EXPECT_EQ(ask("SD 'nothing'"), "<null>");
  EXPECT_EQ(ask("XI '1' 'VID_'"), "<null>") << "no layout shown yet";
  EXPECT_EQ(session.command("PS '1' '/no/such.vesk_ui'", 0), 0);
  const std::string ps = std::string("PS '1' '") + ZUV_OZO_LAYOUT_PATH + "'";
  EXPECT_NE(session.command(ps.c_str(), 0), 0);
  EXPECT_EQ(ask("XI '1' 'VID_'"), "VID_1,VID_2,VID_3");
  EXPECT_EQ(ask("XI '1' 'alm_'"), "");
  EXPECT_EQ(ask("XI '2' 'VID_'"), "<null>") << "panel 2 is not shown";
  session.command("TP 'text=CAM 1' '1' 'VID_1'", 0);
  session.command("TP 'flag' '1' 'VID_1'", 0);
  EXPECT_EQ(ask("TG '1' 'VID_1' 'text'"), "text=CAM 1");
  EXPECT_EQ(ask("TG '1' 'VID_1' 'colour'"), "colour=");
  EXPECT_EQ(ask("TG '1' 'VID_1' 'all'"), "flag=\ntext=CAM 1");
  EXPECT_EQ(ask("TG '1' 'nothing' 'text'"), "<null>");
  EXPECT_TRUE(session.violations().empty());

  const std::intptr_t kept = session.command("SD 'ZIR SDI Router'", 0);
  session.command(reinterpret_cast<const char*>(kept), 5);
  session.command(reinterpret_cast<const char*>(kept), 5);
  ASSERT_EQ(session.violations().size(), 1u);
  EXPECT_NE(session.violations()[0].find("handed back twice"), std::string::npos);
}

TEST(HostSession, CatchesEveryBreach) {
  struct Case {
    const char* breach;
    const char* violation;
  } cases[] = {
      {"keep-reply", "was never handed back with code 5"},
      {"double-release", "handed back twice"},
      {"foreign-release", "did not hand out"},
      {"unknown-code", "unknown code 7"},
      {"control-block", "dispatch code 2 returned a block"},
      {"timer-block", "dispatch code 4 returned a block"},
      {"wrong-destroy", "slot 0 did not return the panel's address"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.breach);
    PluginLibrary library;
    Collect log;
    HostSession session(load(library, ROGUE_PLUGIN_PATH), c.breach, exampleStudio(), log);
    ASSERT_TRUE(session.start());
    (void)session.press({"Mon_1", "button=pressed", std::string("1"), true});
    session.advanceTo(session.studio().now() + 10);
    session.stop();
    ASSERT_EQ(session.violations().size(), 1u);
    EXPECT_NE(session.violations()[0].find(c.violation), std::string::npos) << session.violations()[0];
    EXPECT_TRUE(std::any_of(log.entries.begin(), log.entries.end(),
                            [](const SessionEntry& e) { return e.kind == SessionEntry::Kind::Violation; }))
        << "the breach is reported as it happens";
  }
}

TEST(HostSession, NothingMayArriveAfterDeletion) {
  PluginLibrary library;
  Collect log;
  HostSession session(load(library, ROGUE_PLUGIN_PATH), "", exampleStudio(), log);
  ASSERT_TRUE(session.start());
  session.stop();
  EXPECT_TRUE(session.violations().empty());
  session.command("TP 'late' '1' 'VID_1'", 0);
  ASSERT_EQ(session.violations().size(), 1u);
  EXPECT_NE(session.violations()[0].find("after the panel was deleted"), std::string::npos);
  (void)session.press({"Mon_1", "button=pressed", std::string("1"), true});  // the host sends nothing to a deleted panel
  EXPECT_EQ(session.violations().size(), 1u);
}

TEST(HostSession, NullPanelIsReported) {
  PluginLibrary library;
  Collect log;
  HostSession session(load(library, ROGUE_PLUGIN_PATH), "no-panel", exampleStudio(), log);
  EXPECT_FALSE(session.start());
  EXPECT_FALSE(session.running());
}

// A folder whose name is not ASCII holds the plug-in and its layout: the
// plug-in loads from there, and the panel shows the layout from there.
TEST(PluginLibrary, LoadsFromAFolderNamedOutsideAscii) {
  const std::string folder =
      std::filesystem::temp_directory_path().u8string() + "/panelhost Studio \u00c4 \u00f1 \u043f";
  const std::string plugin = folder + "/" + fileNameOf(ZUV_OZO_PLUGIN_PATH);
  std::filesystem::remove_all(filePath(folder));
  std::filesystem::create_directories(filePath(folder));
  std::filesystem::copy_file(ZUV_OZO_PLUGIN_PATH, filePath(plugin));
  std::filesystem::copy_file(ZUV_OZO_LAYOUT_PATH, filePath(folder + "/scr_mons.vesk_ui"));
  {
    PluginLibrary library;
    Collect log;
    HostSession session(load(library, plugin.c_str()), folder, exampleStudio(), log);
    ASSERT_TRUE(session.start());
    EXPECT_NE(session.layouts().layout(), nullptr) << "the layout in " << folder;
  }
  std::filesystem::remove_all(filePath(folder));
}

// The plug-in's debug lines are caught on Windows only (debug_lines.h);
// elsewhere the plug-in writes them to standard error itself.
#if defined(_WIN32)
constexpr bool kDebugLinesCaught = true;
#else
constexpr bool kDebugLinesCaught = false;
#endif

// The panel says in a debug line that a device is missing: the session's
// log holds it where the system lets the host catch it (Windows), and
// nothing otherwise (the line goes to standard error).
TEST(HostSession, LogsThePluginsDebugLinesWhereItCan) {
  Result<Devices> noRouter = Devices::fromJson(
      R"({"devices": [{"name": "ZIR VESK Packager", "number": 9, "sources": [{"number": 5, "name": "CAM 5"}],
                       "crosspoints": {"410": 5}}]})");
  ASSERT_TRUE(noRouter) << noRouter.error();
  PluginLibrary library;
  Collect log;
  HostSession session(load(library, ZUV_OZO_PLUGIN_PATH), folderOf(ZUV_OZO_PLUGIN_PATH), std::move(*noRouter), log);
  ASSERT_TRUE(session.start());
  session.stop();
  Strings lines;
  for (const SessionEntry& e : log.entries) {
    if (e.kind == SessionEntry::Kind::Debug) lines.push_back(e.text);
  }
  if (kDebugLinesCaught) {
    EXPECT_EQ(lines, Strings{"device \"ZIR SDI Router\" not found: its commands go to device 0"});
  } else {
    EXPECT_EQ(lines, Strings{});
  }
}

TEST(PluginLibrary, SaysWhyItCannotLoad) {
  struct Case {
    const char* path;
    const char* reason;
  } cases[] = {
      {"/no/such/plugin.so", "no such file"},
      {"/", "not a file"},
      {ZUV_OZO_LAYOUT_PATH, "cannot load plug-in"},
      {NO_EXPORT_PLUGIN_PATH, "has no export load_vesk_client_script"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    PluginLibrary library;
    const Result<> opened = library.open(c.path);
    ASSERT_FALSE(opened);
    EXPECT_NE(opened.error().find(c.reason), std::string::npos) << opened.error();
    EXPECT_EQ(opened.error().find('\n'), std::string::npos) << "one line";
  }
}

}  // namespace
