// Parsing the panel's command texts on the host's side into typed commands.
#include "hostside/host_command.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;
using Numbers = std::vector<int>;

// A command's fields in the order they are written, texts apart from
// numbers, so one table can hold every verb.
struct Fields {
  Texts texts;
  Numbers numbers;
  bool add = false;
};

// Reads each verb's fields. A verb without a reader here still builds and
// runs everywhere else; a case of the table below that uses it fails.
struct Read {
  Fields operator()(const SetProperty& c) { return {{c.text, c.panel, c.control}, {}}; }
  Fields operator()(const GetProperty& c) { return {{c.panel, c.control, c.key}, {}}; }
  Fields operator()(const ShowLayout& c) {
    Fields f{{c.panel, c.file}, {}};
    if (c.args) f.texts.push_back(*c.args);
    return f;
  }
  Fields operator()(const LookUpDevice& c) { return {{c.name}, {}}; }
  Fields operator()(const ListControls& c) { return {{c.panel, c.filter}, {}}; }
  Fields operator()(const Route& c) { return {{c.field}, {c.device, c.source, c.dest, c.flag}}; }
  Fields operator()(const RegisterTallies& c) { return {{}, {c.device, c.first, c.last}, c.add}; }
  Fields operator()(const PollTallies& c) { return {{}, {c.device, c.first, c.last}}; }
  Fields operator()(const UnregisterTallies& c) { return {{}, {c.device}}; }
  Fields operator()(const ArmTimer& c) {
    Fields f{{}, {c.id}};
    if (c.interval) f.numbers.push_back(*c.interval);
    return f;
  }
  Fields operator()(const PanelGone&) { return {}; }
  template <typename Command>
  Fields operator()(const Command&) {
    ADD_FAILURE() << "no fields are read for " << Command::kVerb;
    return {};
  }
};

Fields fieldsOf(const HostCommand& command) { return std::visit(Read{}, command); }

TEST(HostCommandParse, EveryVerb) {
  struct Case {
    const char* text;
    const char* verb;
    Texts texts;
    Numbers numbers;
    bool add;
  } cases[] = {
      {"TP 'text=CAM 1' '1' 'VID_1'", "TP", {"text=CAM 1", "1", "VID_1"}, {}, false},
      {"TP 'text=Bob's' '1' 'VID_1'", "TP", {"text=Bob's", "1", "VID_1"}, {}, false},
      {"TP 'a' 'b' 'c' '1' 'VID_1'", "TP", {"a' 'b' 'c", "1", "VID_1"}, {}, false},
      {"TP '' '1' 'VID_1'", "TP", {"", "1", "VID_1"}, {}, false},
      {"TG '1' 'alm_3' 'value'", "TG", {"1", "alm_3", "value"}, {}, false},
      {"PS '1' 'C:/panels/scr_mons.vesk_ui'", "PS", {"1", "C:/panels/scr_mons.vesk_ui"}, {}, false},
      {"PS '1' 'a.vesk_ui' 'x=1'", "PS", {"1", "a.vesk_ui", "x=1"}, {}, false},
      {"PS '1' ' 'x/a.vesk_ui'", "PS", {"1", " 'x/a.vesk_ui"}, {}, false},  // a folder opening with " '"
      {"SD 'ZIR SDI Router'", "SD", {"ZIR SDI Router"}, {}, false},
      {"SD 'it's'", "SD", {"it's"}, {}, false},
      {"XI '1' 'alm_'", "XI", {"1", "alm_"}, {}, false},
      {"RC 9 5 410 ',1' 0", "RC", {"1"}, {9, 5, 410, 0}, false},
      {"RC -1 -2 -3 ',' 1", "RC", {""}, {-1, -2, -3, 1}, false},
      {"RR 7 77 79", "RR", {}, {7, 77, 79}, false},
      {"RR 7 77 79 'ADD'", "RR", {}, {7, 77, 79}, true},
      {"RR -2147483648 -2147483648 -2147483648 'ADD'", "RR", {}, {-2147483647 - 1, -2147483647 - 1, -2147483647 - 1}, true},
      {"RP 7 77 79", "RP", {}, {7, 77, 79}, false},
      {"RU 7", "RU", {}, {7}, false},
      {"ET 1 250", "ET", {}, {1, 250}, false},
      {"ET 1", "ET", {}, {1}, false},
      {"AS", "AS", {}, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Result<HostCommand> command = parseHostCommand(c.text);
    ASSERT_TRUE(command) << command.error();
    EXPECT_EQ(verbOf(*command), c.verb);
    const Fields fields = fieldsOf(*command);
    EXPECT_EQ(fields.texts, c.texts);
    EXPECT_EQ(fields.numbers, c.numbers);
    EXPECT_EQ(fields.add, c.add);
  }
}

TEST(HostCommandParse, Malformed) {
  for (const char* text : {"", "T", "XX 1", "TPX '1'", "TP 'a' '1'", "TP a b c", "TP 'a' '1' 'c", "SD",
                           "RR 7 77", "RR 7 77 79 80", "RR 7 x 79", "RU", "ET", "ET 1 2 3", "AS 1",
                           "RC 9 5 410 0", "RC 9 5 ',1' 0", "RC 9 5 410 ',1' x", "ET 99999999999",
                           "RR 7  77 79"}) {
    SCOPED_TRACE(text);
    const Result<HostCommand> command = parseHostCommand(text);
    ASSERT_FALSE(command);
    EXPECT_FALSE(command.error().empty());
  }
}

}  // namespace
