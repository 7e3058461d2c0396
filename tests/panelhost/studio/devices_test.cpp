// Simulated devices: configuration, routes and tie lines.
#include "panelhost/studio/devices.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/panelhost/example_studio.h"
#include "tests/support/small_stack.h"

namespace {

TEST(Devices, ExampleStudioTable) {
  const Devices devices = exampleStudio();
  const Device* packager = devices.byName("ZIR VESK Packager");
  const Device* router = devices.byName("ZIR SDI Router");
  ASSERT_NE(packager, nullptr);
  ASSERT_NE(router, nullptr);
  EXPECT_EQ(devices.byNumber(packager->number), packager);
  // Router destinations 77..79 show packager destinations 410..412.
  for (int monitor = 1; monitor <= 3; ++monitor) {
    EXPECT_EQ(devices.tallyText(router->number, 76 + monitor), devices.tallyText(packager->number, 409 + monitor));
    EXPECT_FALSE(devices.tallyText(router->number, 76 + monitor).empty());
    // Both name the monitor the destination feeds.
    const std::string name = "SCR MON " + std::to_string(monitor);
    EXPECT_EQ(devices.destinationName(router->number, 76 + monitor), name);
    EXPECT_EQ(devices.destinationName(packager->number, 409 + monitor), name);
  }
  EXPECT_EQ(devices.destinationName(packager->number, 413), "") << "a destination not named";
  EXPECT_EQ(devices.destinationName(99, 1), "") << "no such device";
}

TEST(Devices, RoutingFollowsTieLines) {
  Devices devices = exampleStudio();
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
  Devices devices = exampleStudio();
  EXPECT_TRUE(devices.route(99, 1, 1).empty());
  EXPECT_EQ(devices.tallyText(9, 999), "");
  devices.route(9, 77, 410);
  EXPECT_EQ(devices.tallyText(9, 410), "SRC 77");
  EXPECT_EQ(devices.tallyText(7, 77), "SRC 77");
}

TEST(Devices, BadConfigurationsSayWhereAndWhat) {
  // A device table around `devices`, the list's text.
  const auto table = [](const std::string& devices) { return R"({"devices": [)" + devices + "]}"; };
  const std::string a = R"({"name": "A", "number": 1)";
  struct Case {
    std::string json;
    std::string reason;
  } cases[] = {
      {"{", "line 1, column 2: not JSON: syntax error while parsing object key - unexpected end of input; "
            "expected string literal"},
      {"[]", "the file must be a JSON object {...}, not a list []"},
      {"{}", "devices is missing"},
      {table(R"({"name": "A"})"), "devices[0].number is missing"},
      {table(R"({"number": 1})"), "devices[0].name is missing"},
      {table(R"({"name": "", "number": 1})"), "devices[0].name must not be empty"},
      // Numbers are whole and in range, never wrapped, cut or rounded.
      {table(R"({"name": "A", "number": 4294967305})"),
       "devices[0].number must be a whole number from 0 to 2147483647, not 4294967305"},
      {table(R"({"name": "A", "number": 9.7})"), "devices[0].number must be a whole number from 0 to 2147483647, not 9.7"},
      {table(R"({"name": "A", "number": 1e300})"),
       "devices[0].number must be a whole number from 0 to 2147483647, not 1e+300"},
      {table(R"({"name": "A", "number": "9"})"), "devices[0].number must be a whole number from 0 to 2147483647, not \"9\""},
      {table(a + R"(, "sources": [{"number": 1, "name": "x"}, {"number": 1, "name": "y"}]})"),
       "devices[0].sources[1].number 1 is also the number of devices[0].sources[0].number"},
      {table(a + R"(}, {"name": "A", "number": 2})"), "devices[1].name \"A\" is also the name of devices[0]"},
      {table(a + R"(}, {"name": "B", "number": 1})"), "devices[1].number 1 is also the number of devices[0]"},
      {table(a + R"(, "crosspoints": [[1, 2]]})"), "devices[0].crosspoints must be an object {...}, not a list [[1,2]]"},
      {table(a + R"(, "crosspoints": {"x1": 1}})"),
       "devices[0].crosspoints.\"x1\" is not a destination number from 0 to 2147483647"},
      {table(a + R"(, "crosspoints": {"-4": 1}})"),
       "devices[0].crosspoints.\"-4\" is not a destination number from 0 to 2147483647"},
      {table(a + R"(, "sources": [{"number": 1, "name": "x", "carries": {"device": "Z", "dest": 1}}]})"),
       "devices[0].sources[0].carries.device \"Z\" is not the name of a device of the table"},
      // A tally must not follow itself round for ever.
      {table(R"({"name": "A", "number": 1, "sources": [{"number": 1, "name": "from B", "carries": {"device": "B", "dest": 1}}]},
              {"name": "B", "number": 2, "sources": [{"number": 1, "name": "from A", "carries": {"device": "A", "dest": 1}}]})"),
       "tie lines loop: \"A\" -> \"B\" -> \"A\" (a source of each carries a destination of the one before)"},
      {table(a + R"(, "sources": [{"number": 1, "name": "self", "carries": {"device": "A", "dest": 2}}]})"),
       "tie lines loop: \"A\" -> \"A\" (a source of each carries a destination of the one before)"},
      {table(a + R"(, "destinations": [{"number": 1, "name": "MON"}, {"number": 1, "name": "MON B"}]})"),
       "devices[0].destinations[1].number 1 is named twice"},
      {table(a + R"(, "destinations": [{"number": 1}]})"), "devices[0].destinations[0].name is missing"},
      {table(a + R"(, "destinations": {"1": "MON"}})"),
       "devices[0].destinations must be a list [...], not an object {\"1\":\"MON\"}"},
      // A tally comes after the call that caused it; a delay is not negative or endless.
      {R"({"tallyDelayMs": -1, "devices": []})", "tallyDelayMs must be a whole number from 0 to 10000, not -1"},
      {R"({"tallyDelayMs": 1e12, "devices": []})", "tallyDelayMs must be a whole number from 0 to 10000, not 1000000000000.0"},
      // Numbers no double holds are refused wherever they are, even in a
      // field nothing reads, and shown cut short.
      {R"({"devices": [], "spare": 1e400})", "spare is a number beyond the range of a double: 1e400"},
      {table(R"({"name": "A", "number": )" + std::string(400, '7') + "}"),
       "devices[0].number is a number beyond the range of a double: " + std::string(40, '7') + "..."},
      {table(a + R"(, "sources": [{"number": 1, "name": "x"}, {"number": 2, "name": "y", "z": [-1e999]}]})"),
       "devices[0].sources[1].z[0] is a number beyond the range of a double: -1e999"},
      // A key given twice is a mistake, not the last one winning.
      {table(a + R"(, "crosspoints": {"410": 1, "411": 2, "410": 3}})"),
       "devices[0].crosspoints.\"410\" is given twice"},
      {table(R"({"name": "A", "number": 1, "name": "B"})"), "devices[0].name is given twice"},
      {R"({"devices": [], "tallyDelayMs": 1, "tallyDelayMs": 2})", "tallyDelayMs is given twice"},
      // Nesting is bounded before anything is built.
      {table(a + R"(, "sources": )" + std::string(70, '[') + std::string(70, ']') + "}"),
       "devices[0].sources[0][0][0][0][0]... holds lists or objects nested more than 64 deep"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    const Result<Devices> devices = Devices::fromJson(c.json);
    ASSERT_FALSE(devices);
    EXPECT_EQ(devices.error(), c.reason);
  }
}

TEST(Devices, ATakeReachesOnlyTheDestinationsTiedToIt) {
  // Two router destinations fed from one packager output, and a third
  // device fed from one of them.
  Result<Devices> devices = Devices::fromJson(R"({"tallyDelayMs": 0, "devices": [
      {"name": "P", "number": 1, "sources": [{"number": 5, "name": "CAM 5"}], "crosspoints": {"10": 5, "11": 5}},
      {"name": "R", "number": 2, "sources": [{"number": 1, "name": "P 10", "carries": {"device": "P", "dest": 10}},
                                             {"number": 2, "name": "P 11", "carries": {"device": "P", "dest": 11}}],
       "crosspoints": {"1": 1, "2": 1, "3": 2}},
      {"name": "S", "number": 3, "sources": [{"number": 1, "name": "R 2", "carries": {"device": "R", "dest": 2}}],
       "crosspoints": {"7": 1}}]})");
  ASSERT_TRUE(devices) << devices.error();
  EXPECT_EQ(devices->tallyDelayMs(), 0);
  std::vector<std::string> reached;
  for (const TallyChange& change : devices->route(1, 7, 10)) {
    reached.push_back(std::to_string(change.device) + "/" + std::to_string(change.index) + " " + change.text);
  }
  EXPECT_EQ(reached, (std::vector<std::string>{"1/10 SRC 7", "2/1 SRC 7", "2/2 SRC 7", "3/7 SRC 7"}));
  // Router destination 2 moved to P 11: a take on P 10 no longer reaches it or what it feeds.
  devices->route(2, 2, 2);
  EXPECT_EQ(devices->route(1, 5, 10).size(), 2u);
  EXPECT_EQ(devices->tallyText(3, 7), "CAM 5") << "S shows R 2, now P 11";
}

TEST(Devices, DeepAndLongTablesOnAWindowsSizedStack) {
  // 60,000 levels where a name is expected, and a chain of tie lines of
  // 5,000 devices (each shows a destination of the one before), read and
  // taken on a 1 MiB stack: nothing recurses once per level or device.
  const std::string deep = R"({"devices": [{"name": )" + std::string(60000, '[') + std::string(60000, ']') + "}]}";
  constexpr int kChain = 5000;
  std::string chain = R"({"tallyDelayMs": 0, "devices": [)";
  for (int k = 0; k < kChain; ++k) {
    chain += std::string(k > 0 ? "," : "") + R"({"name": "D)" + std::to_string(k) + R"(", "number": )" +
             std::to_string(k) + R"(, "sources": [{"number": 1, "name": "S)" + std::to_string(k) + '"' +
             (k > 0 ? R"(, "carries": {"device": "D)" + std::to_string(k - 1) + R"(", "dest": 1})" : "") +
             R"(}], "crosspoints": {"1": 1}})";
  }
  chain += "]}";
  // The chain closed into a loop: D0's source 1 carries the last device's output.
  std::string loop = chain;
  loop.replace(loop.find(R"("name": "S0")"), 12, R"("name": "S0", "carries": {"device": "D)" +
                                                    std::to_string(kChain - 1) + R"(", "dest": 1})");
  std::string deepError, loopError, chainError, tail;
  std::vector<TallyChange> reached;
  ASSERT_TRUE(runOnStack(kWindowsMainStack, [&] {
    const Result<Devices> refused = Devices::fromJson(deep);
    deepError = refused ? "read" : refused.error();
    const Result<Devices> looped = Devices::fromJson(loop);
    loopError = looped ? "read" : looped.error();
    Result<Devices> devices = Devices::fromJson(chain);
    if (!devices) {
      chainError = devices.error();
      return;
    }
    reached = devices->route(0, 7, 1);
    tail = devices->tallyText(kChain - 1, 1);
  }));
  EXPECT_EQ(deepError, "devices[0].name[0][0][0][0][0]... holds lists or objects nested more than 64 deep");
  EXPECT_EQ(loopError, R"(tie lines loop: "D0" -> "D1" -> "D2" -> ... 4995 more -> "D4998" -> "D4999" -> "D0" )"
                       "(a source of each carries a destination of the one before)");
  ASSERT_EQ(chainError, "");
  ASSERT_EQ(reached.size(), static_cast<size_t>(kChain));
  EXPECT_EQ(reached.front().device, 0);
  EXPECT_EQ(reached.back().device, kChain - 1);
  EXPECT_EQ(reached.back().text, "SRC 7");
  EXPECT_EQ(tail, "SRC 7");
}

}  // namespace
