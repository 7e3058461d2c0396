// End to end: loads the built plug-in the way the panel host does and drives
// it across the binary boundary alone.
//
// Nothing of the project's own headers is used here: the host's and the
// panel's tables and the event records are declared from their documented
// layouts, as a host author with no access to the plug-in's source would.
#include <dlfcn.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

// The table operations are free functions taking the object first; GCC's
// -Wpedantic would call thiscall on them a misuse.
#pragma GCC diagnostic ignored "-Wattributes"
#if defined(__i386__)
#define HOST_THISCALL __attribute__((thiscall))
#else
#define HOST_THISCALL
#endif

namespace {

// ---- The boundary, by hand ------------------------------------------------

struct Host;
struct HostTable {
  void(HOST_THISCALL* reserved)(Host*);
  std::intptr_t(HOST_THISCALL* hostCommand)(Host*, const char*, int);
};
struct HostState;
struct Host {
  const HostTable* table;
  HostState* state;
};

struct Panel;
struct PanelTable {
  void*(HOST_THISCALL* destroy)(Panel*, unsigned flags);
  char*(HOST_THISCALL* dispatch)(Panel*, void* payload, int code);
};
struct Panel {
  const PanelTable* table;
};

using LoadFunction = Panel* (*)(Host*, const char*);

// A split control message: command, 32 sub-fields, value, count, flag, buffer.
struct SplitMessage {
  const char* command;
  const char* sub[32];
  const char* value;
  std::int32_t subCount;
  std::uint8_t hasValue;
  char* buffer;
};
constexpr std::size_t P = sizeof(void*);
static_assert(offsetof(SplitMessage, sub) == P && offsetof(SplitMessage, value) == 33 * P &&
                  offsetof(SplitMessage, subCount) == 34 * P && offsetof(SplitMessage, hasValue) == 34 * P + 4 &&
                  offsetof(SplitMessage, buffer) == 34 * P + 8,
              "message layout: 0, 4, 132, 136, 140, 144 on 32-bit; 0, 8, 264, 272, 276, 280 on 64-bit");

// ---- The host's side -------------------------------------------------------

struct HostState {
  std::vector<std::pair<std::string, int>> log;
  std::map<std::string, std::string> replies;
  std::map<const char*, std::unique_ptr<char[]>> outstanding;
  int badReleases = 0;
};

void HOST_THISCALL reserved(Host*) { ADD_FAILURE() << "slot 0 of the host's table was called"; }

std::intptr_t HOST_THISCALL hostCommand(Host* self, const char* text, int code) {
  HostState& s = *self->state;
  if (code == 5) {
    auto it = s.outstanding.find(text);
    if (it == s.outstanding.end()) {
      ++s.badReleases;
      return 0;
    }
    s.log.emplace_back(text, 5);
    s.outstanding.erase(it);
    return 0;
  }
  s.log.emplace_back(text, code);
  if (std::strncmp(text, "PS ", 3) == 0) return 1;
  auto reply = s.replies.find(text);
  if (reply == s.replies.end()) return 0;
  auto block = std::make_unique<char[]>(reply->second.size() + 1);
  std::memcpy(block.get(), reply->second.c_str(), reply->second.size() + 1);
  const char* handedOut = block.get();
  s.outstanding[handedOut] = std::move(block);
  return reinterpret_cast<std::intptr_t>(handedOut);
}

const HostTable kHostTable = {&reserved, &hostCommand};

using Log = std::vector<std::pair<std::string, int>>;

class PluginLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library = dlopen(ZUV_OZO_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    load = reinterpret_cast<LoadFunction>(dlsym(library, "load_vesk_client_script"));
    ASSERT_NE(load, nullptr) << "the export is missing";
    state.replies["SD 'ZIR VESK Packager'"] = "9 0";
    state.replies["SD 'ZIR SDI Router'"] = "7 0";
  }
  void TearDown() override {
    if (library != nullptr) dlclose(library);
  }
  Log taken() {
    Log log = std::move(state.log);
    state.log.clear();
    return log;
  }
  char* dispatch(Panel* panel, void* payload, int code) { return panel->table->dispatch(panel, payload, code); }

  void* library = nullptr;
  LoadFunction load = nullptr;
  HostState state;
  Host host{&kHostTable, &state};
};

TEST_F(PluginLoadTest, StartUpTakeTallyPropertyAndDeletion) {
  Panel* panel = load(&host, "C:/panels");
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(taken(), (Log{{"SD 'ZIR VESK Packager'", 0},
                          {"9 0", 5},
                          {"SD 'ZIR SDI Router'", 0},
                          {"7 0", 5},
                          {"PS '1' 'C:/panels/scr_mons.vesk_ui'", 0},
                          {"TP 'button.001=released' '1' 'GrpSelect'", 0},
                          {"RR 7 77 79", 0},
                          {"RP 7 77 79", 0}}));

  // The operator presses source 5: a control_record for panel "1", control
  // "SourceSel", with the message "index=5" split by the host.
  char text[] = "index\0" "5";
  SplitMessage message{};
  message.command = text;
  for (const char*& sub : message.sub) sub = "";
  message.value = text + 6;
  message.subCount = 0;
  message.hasValue = 1;
  message.buffer = text;
  unsigned char control[8 + 3 * P];
  std::memset(control, 0xEE, 8);
  const char* panelId = "1";
  const char* controlId = "SourceSel";
  const SplitMessage* messagePointer = &message;
  std::memcpy(control + 8, &panelId, P);
  std::memcpy(control + 8 + P, &controlId, P);
  std::memcpy(control + 8 + 2 * P, &messagePointer, P);
  EXPECT_EQ(dispatch(panel, control, 2), nullptr);
  EXPECT_EQ(taken(), (Log{{"RC 9 5 410 ',1' 0", 0}, {"ET 1 250", 0}}));

  // 250 ms later: timer 1, its id carried in the pointer itself.
  EXPECT_EQ(dispatch(panel, reinterpret_cast<void*>(std::intptr_t{1}), 4), nullptr);
  EXPECT_EQ(taken(), (Log{{"ET 1", 0}, {"TP 'index=0' '1' 'SourceSel'", 0}}));

  // The router reports destination 77: device at 0, index at 8, text at 16.
  alignas(4) unsigned char tally[16 + 32] = {};
  const std::int32_t device = 7;
  const std::int32_t index = 77;
  std::memcpy(tally + 0, &device, 4);
  std::memcpy(tally + 8, &index, 4);
  std::memcpy(tally + 16, "CAM 5", 6);
  EXPECT_EQ(dispatch(panel, tally, 1), nullptr);
  EXPECT_EQ(taken(), (Log{{"TP 'text=CAM 5' '1' 'VID_1'", 0}}));

  // An enclosing panel sets and reads a property; the answer block is
  // handed back with code 5.
  EXPECT_EQ(dispatch(panel, const_cast<char*>("myParam=abc"), 3), nullptr);
  char* answer = dispatch(panel, const_cast<char*>("return=all"), 3);
  ASSERT_NE(answer, nullptr);
  EXPECT_STREQ(answer, "myParam=abc");
  EXPECT_EQ(dispatch(panel, answer, 5), nullptr);
  EXPECT_TRUE(taken().empty());

  // Deletion through slot 0 with the "free" flag; it returns the object.
  void* const address = panel;
  EXPECT_EQ(panel->table->destroy(panel, 1), address);
  EXPECT_EQ(taken(), (Log{{"RU 7", 0}, {"AS", 0}}));
  EXPECT_TRUE(state.outstanding.empty()) << "every reply came back";
  EXPECT_EQ(state.badReleases, 0);
}

TEST_F(PluginLoadTest, NothingButTheExportIsVisible) {
  EXPECT_EQ(dlsym(library, "_ZN7ZUV_OZoC1EP11client_hostPKc"), nullptr);
  EXPECT_EQ(dlsym(library, "_ZN18vesk_script_helper8dispatchEPvi"), nullptr);
  EXPECT_EQ(dlsym(library, "_ZN11vesk_stringC1EPKc"), nullptr);
}

}  // namespace
