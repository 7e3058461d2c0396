// Fuzzes the dispatch boundary: the input decodes into a panel's start-up and
// a sequence of host events delivered to a real ZUV_OZo created through its
// export, and every step is checked against the panel's rules, not only for
// crashes.
//
// Input, read from the front by ByteReader:
//   host      one byte: 255 runs the panel with no host, anything else with
//             a CheckingHost;
//   replies   to the packager's and then the router's look-up, each a choice
//             byte: below 8 picks kDeviceReplies, anything else reads a text;
//   folder    a choice byte: even gives "C:/panels", odd reads a text;
//   events    to the end of the input, each an op byte with code = op % 9;
//             ops from 243 on give codes 1 to 3 a null payload:
//     1 tally     device choice byte, index byte (+ number), text
//     2 control   panel, control and message choice bytes (+ texts)
//     3 property  choice byte (+ text)
//     4 timer     byte: below 128 timer 1, below 192 byte - 128, else a number
//     5           hands back an answer block (a byte picks which), or null
//                 when none is out
//     0, 6, 7, 8  a number, passed as the payload pointer (never read)
//
// Checked after every event: the host's rules (see CheckingHost), no host
// reply kept past the event, currentMonitor in 1..3 with packagerDest =
// currentMonitor + 409, the device numbers unchanged, and each property
// answer equal to the one modelled from the messages so far. The driver hands
// back every answer block, and nothing else. At the end the panel must send
// "RU <router>" and then "AS", and nothing more.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/vesk_boundary.h"
#include "fuzz/byte_reader.h"
#include "fuzz/checking_host.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/reference_splitters.h"
#include "panels/Studio_A/ZUV_OZo/ZUV_OZo.h"
#include "panels/Studio_A/ZUV_OZo/export.h"
#include "hostside/host_records.h"

namespace {

constexpr const char* kDeviceReplies[] = {"9 0", "7 0", "'12' 3", nullptr, "", " 5", "-3 x", "99999999999"};
constexpr const char* kPanels[] = {"1", "2", "", "01"};
constexpr const char* kControls[] = {"SourceSel", "GrpSelect", "Mon_1", "Mon_2",
                                     "Mon_3",     "ActionAll", "AckAll", "VID_1"};
constexpr std::uint8_t kNullPayloadOps = 243;

template <typename T, std::size_t N>
constexpr std::size_t countOf(const T (&)[N]) {
  return N;
}

// A text read as the panel reads a reply token: atoi's rules, saturating.
int tokenNumber(const std::string& token) {
  const long long value = std::strtoll(token.c_str(), nullptr, 10);
  if (value > 2147483647LL) return 2147483647;
  if (value < -2147483647LL - 1) return -2147483647 - 1;
  return static_cast<int>(value);
}

// The device number a look-up reply gives: its first token, or 0.
int deviceNumber(const char* reply) {
  if (reply == nullptr) return 0;
  const std::vector<std::string> tokens = referenceTokens(reply, '\'');
  return tokens.empty() ? 0 : tokenNumber(tokens[0]);
}

// A text that may be absent: get() is then null.
struct OptionalText {
  bool present = false;
  std::string text;
  const char* get() const { return present ? text.c_str() : nullptr; }
};

class Session {
 public:
  explicit Session(ByteReader& in) : in_(in) {}

  void run() {
    start();
    while (!in_.atEnd()) {
      event();
      checkAfterEvent();
    }
    finish();
  }

 private:
  // One of `table` by a choice byte, or a text read from the input when the
  // byte is past the table.
  template <std::size_t N>
  OptionalText choose(const char* const (&table)[N]) {
    const std::uint8_t choice = in_.byte();
    OptionalText chosen;
    if (choice < N) {
      chosen.present = table[choice] != nullptr;
      if (chosen.present) chosen.text = table[choice];
    } else {
      chosen.present = true;
      chosen.text = in_.text();
    }
    return chosen;
  }

  void start() {
    withHost_ = in_.byte() != 255;
    const OptionalText packagerReply = choose(kDeviceReplies);
    const OptionalText routerReply = choose(kDeviceReplies);
    const std::string folder = in_.byte() % 2 == 0 ? std::string("C:/panels") : in_.text();
    host_.answerDevice(ZUV_OZo::kPackagerName, packagerReply.get());
    host_.answerDevice(ZUV_OZo::kRouterName, routerReply.get());

    panel_ = load_vesk_client_script(withHost_ ? host_.asHost() : nullptr, folder.c_str());
    FUZZ_CHECK(panel_ != nullptr);
    const ZUV_OZo::State s = state();
    if (withHost_) {
      FUZZ_CHECK(s.packagerDevice == deviceNumber(packagerReply.get()));
      FUZZ_CHECK(s.routerDevice == deviceNumber(routerReply.get()));
      const std::vector<std::string>& sent = host_.commands();
      FUZZ_CHECK(sent.size() == 6);
      const std::string tallies = " " + std::to_string(s.routerDevice) + " 77 79";
      FUZZ_CHECK(sent[4] == "RR" + tallies && sent[5] == "RP" + tallies);
    } else {
      FUZZ_CHECK(s.packagerDevice == 0 && s.routerDevice == 0);
    }
    packagerDevice_ = s.packagerDevice;
    routerDevice_ = s.routerDevice;
    checkAfterEvent();
  }

  void event() {
    const std::uint8_t op = in_.byte();
    const int code = op % 9;
    const bool nullPayload = op >= kNullPayloadOps;
    switch (code) {
      case VESK_EVENT_TALLY:
        tally(nullPayload);
        break;
      case VESK_EVENT_CONTROL:
        control(nullPayload);
        break;
      case VESK_EVENT_PROPERTY:
        property(nullPayload);
        break;
      case VESK_EVENT_TIMER: {
        const std::uint8_t choice = in_.byte();
        const int id = choice < 128 ? ZUV_OZo::kHighlightTimer : choice < 192 ? choice - 128 : in_.number();
        expectNull(VESK_EVENT_TIMER, reinterpret_cast<void*>(static_cast<std::intptr_t>(id)));
        break;
      }
      case VESK_EVENT_RELEASE:
        handBack();
        break;
      default:
        expectNull(code, reinterpret_cast<void*>(static_cast<std::intptr_t>(in_.number())));
        break;
    }
  }

  void tally(bool nullPayload) {
    const std::uint8_t deviceChoice = in_.byte() % 3;
    const int device = deviceChoice == 0 ? routerDevice_ : deviceChoice == 1 ? packagerDevice_ : in_.number();
    const std::uint8_t indexChoice = in_.byte();
    const int index = indexChoice < 200 ? ZUV_OZo::kRouterDestBase - 1 + indexChoice % 6 : in_.number();
    const std::string text = in_.text();
    if (nullPayload) return expectNull(VESK_EVENT_TALLY, nullptr);

    // Exactly as long as the record and its text, so a read past it is seen.
    TallyPayload payload(device, index, text);
    expectNull(VESK_EVENT_TALLY, payload.get());
  }

  void control(bool nullPayload) {
    const OptionalText panelId = choose(kPanels);
    const OptionalText controlId = choose(kControls);
    const std::uint8_t messageChoice = in_.byte() % 5;
    static constexpr const char* kMessagePrefixes[] = {"", "index=", "button.001=", "alarm="};
    OptionalText message;
    message.present = messageChoice < countOf(kMessagePrefixes);
    if (message.present) message.text = kMessagePrefixes[messageChoice] + in_.text();
    if (nullPayload) return expectNull(VESK_EVENT_CONTROL, nullptr);

    ControlPayload payload(panelId.text.c_str(), controlId.text.c_str(), message.get());
    expectNull(VESK_EVENT_CONTROL, payload.get());
  }

  void property(bool nullPayload) {
    static constexpr const char* kProperties[] = {"return=all", "return=myParam", "_events", "_commands",
                                                  "return=instance", nullptr};
    static constexpr const char* kSetters[] = {"myParam=", "instance="};
    const std::uint8_t choice = in_.byte();
    OptionalText message;
    if (choice < countOf(kProperties)) {
      message.present = kProperties[choice] != nullptr;
      if (message.present) message.text = kProperties[choice];
    } else {
      message.present = true;
      const std::size_t setter = choice - countOf(kProperties);
      message.text = (setter < countOf(kSetters) ? kSetters[setter] : "") + in_.text();
    }
    if (nullPayload) message.present = false;

    const std::string expected = expectedAnswer(message.present ? message.text.c_str() : "");
    char* block = veskDispatch(panel_, const_cast<char*>(message.get()), VESK_EVENT_PROPERTY);
    // With the most answers out that the panel keeps track of, it answers no
    // more until one comes back.
    if (expected.empty() || blocks_.size() == vesk_script_helper::kMaxAnswerBlocksOut) {
      FUZZ_CHECK(block == nullptr);
      return;
    }
    FUZZ_CHECK(block != nullptr && expected == block);
    FUZZ_CHECK(std::find(blocks_.begin(), blocks_.end(), block) == blocks_.end());
    blocks_.push_back(block);
  }

  // The answer to `message` (up to its first zero) from the properties set so
  // far, which it also updates; empty for no answer.
  std::string expectedAnswer(const char* message) {
    const ReferenceMessage parts = referenceMessage(message);
    if (parts.command == "return") {
      return parts.value == "all" || parts.value == "myParam" ? "myParam=" + myParam_ : std::string();
    }
    if (parts.command == "myParam") myParam_ = parts.value;
    if (parts.command == "instance") instance_ = parts.value;
    if (parts.command == "_events") return "notify=*";
    if (parts.command == "_commands") return "myParam=[value]";
    return std::string();
  }

  // Hands back one answer block the panel gave out, or null when none is out,
  // or now and then a pointer of the host's own, which the panel must leave
  // alone.
  void handBack() {
    if (in_.byte() < 16) return expectNull(VESK_EVENT_RELEASE, hostsOwn_);
    if (blocks_.empty()) return expectNull(VESK_EVENT_RELEASE, nullptr);
    const std::size_t which = in_.byte() % blocks_.size();
    char* block = blocks_[which];
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(which));
    expectNull(VESK_EVENT_RELEASE, block);
  }

  void expectNull(int code, void* payload) { FUZZ_CHECK(veskDispatch(panel_, payload, code) == nullptr); }

  void checkAfterEvent() {
    FUZZ_CHECK(host_.outstandingReplies() == 0);
    const ZUV_OZo::State s = state();
    FUZZ_CHECK(s.currentMonitor >= 1 && s.currentMonitor <= ZUV_OZo::kMonitors);
    FUZZ_CHECK(s.packagerDest == s.currentMonitor + ZUV_OZo::kPackagerDestBase);
    FUZZ_CHECK(s.selectedSource >= 0);
    FUZZ_CHECK(s.tallyMonitor >= 0 && s.tallyMonitor <= ZUV_OZo::kMonitors);
    FUZZ_CHECK(s.packagerDevice == packagerDevice_ && s.routerDevice == routerDevice_);
    FUZZ_CHECK(myParam_ == static_cast<const char*>(s.myParam));
    FUZZ_CHECK(instance_ == static_cast<const char*>(s.instance));
  }

  void finish() {
    for (char* block : blocks_) expectNull(VESK_EVENT_RELEASE, block);
    blocks_.clear();
    host_.clear();
    veskDelete(panel_);
    const std::vector<std::string>& sent = host_.commands();
    if (withHost_) {
      FUZZ_CHECK(sent.size() == 2);
      FUZZ_CHECK(sent[0] == "RU " + std::to_string(routerDevice_) && sent[1] == "AS");
    } else {
      FUZZ_CHECK(sent.empty());
    }
  }

  ZUV_OZo::State state() const {
    return static_cast<const ZUV_OZo*>(static_cast<const vesk_script_helper*>(panel_))->state();
  }

  ByteReader& in_;
  CheckingHost host_;
  bool withHost_ = true;
  vesk_client_callback* panel_ = nullptr;
  int packagerDevice_ = 0;
  int routerDevice_ = 0;
  std::string myParam_;
  std::string instance_;
  std::vector<char*> blocks_;  // answer blocks out, to be handed back
  char hostsOwn_[16] = "myParam=x";
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ByteReader in(data, size);
  Session session(in);
  session.run();
  return 0;
}
