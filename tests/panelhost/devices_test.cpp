// Simulated devices: configuration, routes and tie lines.
#include "panelhost/devices.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(Devices, BuiltInStudio) {
  const Devices devices = Devices::builtIn();
  const Device* packager = devices.byName("ZIR VESK Packager");
  const Device* router = devices.byName("ZIR SDI Router");
  ASSERT_NE(packager, nullptr);
  ASSERT_NE(router, nullptr);
  EXPECT_EQ(devices.byNumber(packager->number), packager);
  // Router destinations 77..79 show packager destinations 410..412.
  for (int monitor = 1; monitor <= 3; ++monitor) {
    EXPECT_EQ(devices.tallyText(router->number, 76 + monitor), devices.tallyText(packager->number, 409 + monitor));
    EXPECT_FALSE(devices.tallyText(router->number, 76 + monitor).empty());
  }
}

TEST(Devices, RoutingFollowsTieLines) {
  Devices devices = Devices::builtIn();
  const std::vector<TallyChange> changes = devices.route(9, 5, 411);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].device, 9);
  EXPECT_EQ(changes[0].index, 411);
  EXPECT_EQ(changes[0].text, "CAM 5");
  EXPECT_EQ(changes[1].device, 7);
  EXPECT_EQ(changes[1].index, 78);
  EXPECT_EQ(changes[1].text, "CAM 5");

  // The router's own crosspoint away from the tie line: it shows bars.
  devices.route(7, 1, 78);
  EXPECT_EQ(devices.tallyText(7, 78), "BARS");
  EXPECT_EQ(devices.route(9, 6, 411).size(), 1u) << "no longer tied";
}

TEST(Devices, UnknownThingsHaveNames) {
  Devices devices = Devices::builtIn();
  EXPECT_TRUE(devices.route(99, 1, 1).empty());
  EXPECT_EQ(devices.tallyText(9, 999), "");
  devices.route(9, 77, 410);
  EXPECT_EQ(devices.tallyText(9, 410), "SRC 77");
  EXPECT_EQ(devices.tallyText(7, 77), "SRC 77");
}

TEST(Devices, TieLoopsEnd) {
  Result<Devices> devices = Devices::fromJson(R"({"devices": [
      {"name": "A", "number": 1, "sources": [{"number": 1, "name": "from B", "carries": {"device": "B", "dest": 1}}],
       "crosspoints": {"1": 1}},
      {"name": "B", "number": 2, "sources": [{"number": 1, "name": "from A", "carries": {"device": "A", "dest": 1}}],
       "crosspoints": {"1": 1}}]})");
  ASSERT_TRUE(devices) << devices.error();
  EXPECT_EQ(devices->tallyText(1, 1), "");
  EXPECT_LE(devices->route(1, 1, 1).size(), 9u);
}

TEST(Devices, BadConfigurationsSayWhy) {
  struct Case {
    const char* json;
    const char* reason;
  } cases[] = {
      {"{", "parse error"},
      {"{}", "devices"},
      {R"({"devices": [{"name": "A"}]})", "number"},
      {R"({"devices": [{"name": "A", "number": 1}, {"name": "B", "number": 1}]})", "two devices numbered 1"},
      {R"({"devices": [{"name": "A", "number": 1, "sources": [{"number": 1, "name": "x",
          "carries": {"device": "Z", "dest": 1}}]}]})", "unknown device 'Z'"},
      {R"({"devices": [{"name": "A", "number": 1, "crosspoints": {"x1": 1}}]})", "not a number"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    const Result<Devices> devices = Devices::fromJson(c.json);
    ASSERT_FALSE(devices);
    EXPECT_NE(devices.error().find(c.reason), std::string::npos) << devices.error();
  }
}

}  // namespace
