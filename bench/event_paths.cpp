// The measured paths: the splitters on their inputs, their floors, and the
// four panel events through dispatch.
#include "bench/event_paths.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "framework/decode_vesk_string.h"
#include "framework/message_parts.h"
#include "framework/vesk_boundary.h"
#include "panels/Studio_A/ZUV_OZo/ZUV_OZo.h"
#include "panels/Studio_A/ZUV_OZo/export.h"
#include "platform/client_host_base.h"
#include "hostside/host_records.h"

namespace {

// A host whose every command costs a call and nothing more.
class NullHost : public client_host_base {
 public:
  std::intptr_t command(const char*, int) override { return 0; }
};

// Keeps the compiler from dropping the work that produced `p`.
inline void keep(const void* p) { asm volatile("" : : "g"(p) : "memory"); }

constexpr const char* kShortMessage = "button.001=released";
// A device reply: two numbers and a quoted name.
constexpr const char* kDeviceReply = "12 3 'ZIR SDI Router'";

// Two 4 KiB messages. The usual shape: a name and a sub-field, then a long
// value. The worst: a name, one sub-field, then words and the value only at
// the very end, so that the split must look at every byte.
constexpr std::size_t kLongLength = 4096;
std::string longValueMessage() {
  std::string text = "label.1=";
  while (text.size() < kLongLength) text += "lorem ipsum ";
  text.resize(kLongLength);
  return text;
}
std::string unbrokenMessage() {
  std::string text = "notes.1.";
  while (text.size() < kLongLength - 2) text += "lorem ipsum ";
  text.resize(kLongLength - 2);
  return text + "=1";
}

struct Fixture {
  NullHost host;
  vesk_client_callback* panel = nullptr;
  std::string longValueMessage = ::longValueMessage();
  std::string unbrokenMessage = ::unbrokenMessage();
  ControlPayload take{"1", "SourceSel", "index=5"};
  TallyPayload tally{0, ZUV_OZo::kRouterDestBase + 1, "CAM 1"};  // the null host's router is device 0
};
std::unique_ptr<Fixture> g_fixture;

void copyFloor(const char* text) {
  const std::size_t length = std::strlen(text);
  char* copy = new char[length + 1];
  std::memcpy(copy, text, length + 1);
  keep(copy);
  delete[] copy;
}

void split(const char* text) {
  const message_parts parts(text);
  keep(&parts);
}

void floorShort() { copyFloor(kShortMessage); }
void splitShort() { split(kShortMessage); }
void floorLong() { copyFloor(g_fixture->longValueMessage.c_str()); }
void splitLongValue() { split(g_fixture->longValueMessage.c_str()); }
void splitUnbroken() { split(g_fixture->unbrokenMessage.c_str()); }
void floorReply() { copyFloor(kDeviceReply); }
void tokenizeReply() {
  const decodeVESKString tokens(kDeviceReply, '\'');
  keep(&tokens);
}

void take() { veskDispatch(g_fixture->panel, g_fixture->take.get(), VESK_EVENT_CONTROL); }
void timerTick() {
  veskDispatch(g_fixture->panel, reinterpret_cast<void*>(std::intptr_t{ZUV_OZo::kHighlightTimer}),
               VESK_EVENT_TIMER);
}
void tally() { veskDispatch(g_fixture->panel, g_fixture->tally.get(), VESK_EVENT_TALLY); }
void propertyRead() {
  char* answer = veskDispatch(g_fixture->panel, const_cast<char*>("return=all"), VESK_EVENT_PROPERTY);
  veskDispatch(g_fixture->panel, answer, VESK_EVENT_RELEASE);
}

}  // namespace

const EventPath kEventPaths[] = {
    {"floor_short_message", floorShort, nullptr},
    {"split_short_message", splitShort, "floor_short_message"},
    {"floor_4KiB_message", floorLong, nullptr},
    {"split_4KiB_message", splitLongValue, "floor_4KiB_message"},
    {"split_4KiB_unbroken", splitUnbroken, "floor_4KiB_message"},
    {"floor_device_reply", floorReply, nullptr},
    {"tokenize_device_reply", tokenizeReply, "floor_device_reply"},
    {"take", take, nullptr},
    {"timer_tick", timerTick, nullptr},
    {"tally", tally, nullptr},
    {"property_read", propertyRead, nullptr},
};
const std::size_t kEventPathCount = sizeof kEventPaths / sizeof kEventPaths[0];

const EventPath* findEventPath(const char* name) {
  for (const EventPath& path : kEventPaths) {
    if (std::strcmp(path.name, name) == 0) return &path;
  }
  return nullptr;
}

void prepareEventPaths() {
  g_fixture = std::make_unique<Fixture>();
  g_fixture->panel = load_vesk_client_script(g_fixture->host.asHost(), "C:/panels");
}

void finishEventPaths() {
  veskDelete(g_fixture->panel);
  g_fixture.reset();
}
