// HostSession: events into the panel, and the panel's commands handed to
// their owners.
#include "panelhost/session/host_session.h"

#include <algorithm>
#include <cstdlib>
#include <type_traits>
#include <utility>
#include <variant>

#include "framework/message_parts.h"
#include "hostside/host_records.h"
#include "panelhost/support/text.h"

namespace {

// Whether `Owner` has a carryOut for `Command`.
template <typename Owner, typename Command, typename = void>
struct CarriesOut : std::false_type {};
template <typename Owner, typename Command>
struct CarriesOut<Owner, Command,
                  std::void_t<decltype(std::declval<Owner&>().carryOut(std::declval<const Command&>()))>>
    : std::true_type {};

}  // namespace

HostSession::HostSession(vesk_load_function loader, LayoutFolders layoutFolders, Devices devices,
                         SessionObserver& observer)
    : loader_(loader),
      observer_(observer),
      boundary_([this](const std::string& text) { report(SessionEntry::Kind::Violation, text); },
                [this](const std::string& line) { report(SessionEntry::Kind::Debug, line); }),
      studio_(std::move(devices), [this](SessionEntry::Kind kind, const std::string& text) { report(kind, text); }),
      layouts_(std::move(layoutFolders),
               [this](SessionEntry::Kind kind, const std::string& text) { report(kind, text); }) {}

HostSession::~HostSession() { stop(); }

Result<> HostSession::start() {
  report(SessionEntry::Kind::Event,
         "create the panel: load_vesk_client_script(host, " + quoted(layouts_.folder()) + ")");
  if (!boundary_.create(loader_, asHost(), layouts_.folder().c_str())) {
    report(SessionEntry::Kind::Note, "load_vesk_client_script returned no panel");
    return fail("load_vesk_client_script returned no panel");
  }
  settle();
  return Done{};
}

void HostSession::stop() {
  if (!running()) return;
  report(SessionEntry::Kind::Event, "delete the panel (slot 0, free)");
  boundary_.destroy();
  // Ticks and tallies still on their way have no panel to go to.
  studio_.dropAgenda();
}

Result<std::string> HostSession::press(const ControlPress& press) {
  if (!running()) {
    report(SessionEntry::Kind::Note, "no panel is running");
    return fail("no panel is running");
  }
  Result<ShownLayouts::Sent> sent = layouts_.press(press);
  if (!sent) return sent.failure();
  noteUnseenSource(*sent);
  // The host splits the control's message; the panel reads it in place.
  ControlPayload record(sent->panel, press.control, sent->message.c_str());
  report(SessionEntry::Kind::Event,
         "control " + press.control + " " + quoted(sent->message) + " on panel " + quoted(sent->panel) + " (code 2)");
  boundary_.deliver(record.get(), VESK_EVENT_CONTROL);
  settle();
  return sent->message;
}

void HostSession::noteUnseenSource(const ShownLayouts::Sent& sent) {
  if (sent.shown == nullptr || sent.shown->kind != ControlKind::List) return;
  const LayoutControl& list = *sent.shown;
  const message_parts parts(sent.message.c_str());
  const int source = parts.hasValue ? std::atoi(parts.value) : 0;
  if (source <= 0) return;  // 0: nothing picked
  const auto page = list.properties.find("page");
  const int number = page == list.properties.end() ? 1 : std::atoi(page->second.c_str());
  if (number >= 1 && static_cast<size_t>(number) <= list.pages.size()) {
    const std::vector<int>& shown = list.pages[static_cast<size_t>(number) - 1].sources;
    if (std::find(shown.begin(), shown.end(), source) == shown.end()) {
      report(SessionEntry::Kind::Note, "source " + std::to_string(source) + " is not on the page list " +
                                           quoted(list.id) + " shows (page " + std::to_string(number) + ", " +
                                           quoted(list.pages[static_cast<size_t>(number) - 1].name) +
                                           "): an operator could not press it there; sent as the host would send it");
    }
  }
  const Device* device = studio_.devices().byName(list.device);
  if (device != nullptr && device->sources.count(source) == 0) {
    report(SessionEntry::Kind::Note, quoted(device->name) + " has no source " + std::to_string(source) +
                                         ": sent all the same, as the host would send it");
  }
}

std::optional<std::string> HostSession::property(const std::string& message, const std::string& asker) {
  if (!running()) {
    report(SessionEntry::Kind::Note, "no panel is running");
    return std::nullopt;
  }
  report(SessionEntry::Kind::Event,
         "property " + quoted(message) + " (code 3)" + (asker.empty() ? "" : ", asked by " + asker));
  char* block = boundary_.deliverProperty(message);
  std::optional<std::string> answer;
  if (block == nullptr) {
    report(SessionEntry::Kind::Reply, "no answer");
  } else {
    answer = block;
    report(SessionEntry::Kind::Reply, "answer " + quoted(*answer));
    report(SessionEntry::Kind::Event, "hand the answer block back (code 5)");
    boundary_.deliver(block, VESK_EVENT_RELEASE);
  }
  settle();
  return answer;
}

HostSession::Changes HostSession::takeChanges() {
  ShownLayouts::Changed shown = layouts_.takeChanged();
  return {shown.layout, std::move(shown.controls), studio_.takeChanged()};
}

void HostSession::deliverControl(const std::string& panel, const std::string& control, const std::string& message) {
  if (!running()) return;
  ControlPayload record(panel, control, message.c_str());
  report(SessionEntry::Kind::Event,
         "control " + control + " " + quoted(message) + " on panel " + quoted(panel) + " (code 2)");
  boundary_.deliver(record.get(), VESK_EVENT_CONTROL);
}

void HostSession::deliverTallyEvent(int device, int index, const std::string& text) {
  deliverTally(TallyChange{device, index, text});
}

void HostSession::deliverTimer(int id) {
  if (!running()) return;
  report(SessionEntry::Kind::Event, "timer " + std::to_string(id) + " (code 4)");
  boundary_.deliver(reinterpret_cast<void*>(static_cast<std::intptr_t>(id)), VESK_EVENT_TIMER);
}

void HostSession::deliverUntyped(int code) {
  if (!running()) return;
  report(SessionEntry::Kind::Event, "event code " + std::to_string(code) + " with no payload");
  boundary_.deliver(nullptr, code);
}

void HostSession::answerNext(const std::string& command, HostAnswer answer) {
  answers_[command].push_back(std::move(answer));
}

void HostSession::advanceTo(std::int64_t timeMs) {
  // Inside a call into the panel (a route it asked for, with no tally
  // delay) nothing is delivered: what is due goes once the call returns.
  if (boundary_.inCall()) return;
  while (std::optional<Studio::Due> due = studio_.takeDue(timeMs)) {
    if (const int* timer = std::get_if<int>(&*due)) {
      report(SessionEntry::Kind::Event, "timer " + std::to_string(*timer) + " (code 4)");
      boundary_.deliver(reinterpret_cast<void*>(static_cast<std::intptr_t>(*timer)), VESK_EVENT_TIMER);
    } else {
      deliverTally(std::get<TallyChange>(*due));
    }
  }
}

void HostSession::deliverTally(const TallyChange& change) {
  if (!running()) return;
  // The record as the router driver lays it out: device, index and the text
  // stored from byte 16 on.
  TallyPayload record(change.device, change.index, change.text);
  report(SessionEntry::Kind::Event, "tally " + std::to_string(change.device) + " " + std::to_string(change.index) +
                                        " " + quoted(change.text) + " (code 1)");
  boundary_.deliver(record.get(), VESK_EVENT_TALLY);
}

std::intptr_t HostSession::command(const char* text, int code) {
  if (code == VESK_HOST_RELEASE_REPLY) {
    if (const std::optional<std::string> reply = boundary_.handBack(text)) {
      report(SessionEntry::Kind::Reply, "reply " + quoted(*reply) + " handed back (code 5)");
    }
    return 0;
  }
  const std::string command = text != nullptr ? text : "";
  if (!boundary_.acceptCommand(code, command)) return 0;
  commands_.push_back(command);
  report(SessionEntry::Kind::Command, command);
  if (const auto given = answers_.find(command); given != answers_.end()) {
    const HostAnswer answer = given->second.front();
    given->second.pop_front();
    if (given->second.empty()) answers_.erase(given);
    report(SessionEntry::Kind::Note, "answered as given, not carried out");
    return give(answer);
  }
  const Result<HostCommand> parsed = parseHostCommand(command);
  if (!parsed) {
    report(SessionEntry::Kind::Note, "cannot carry out " + quoted(command) + ": " + parsed.error());
    return 0;
  }
  return give(carryOutCommand(*parsed));
}

HostAnswer HostSession::carryOutCommand(const HostCommand& command) {
  return std::visit(
      [this](const auto& c) -> HostAnswer {
        using C = std::decay_t<decltype(c)>;
        constexpr int owners = CarriesOut<ShownLayouts, C>::value + CarriesOut<Studio, C>::value +
                               CarriesOut<HostSession, C>::value;
        static_assert(owners == 1, "each host command has one owner: a carryOut of ShownLayouts, Studio or HostSession");
        if constexpr (CarriesOut<ShownLayouts, C>::value) {
          return layouts_.carryOut(c);
        } else if constexpr (CarriesOut<Studio, C>::value) {
          return studio_.carryOut(c);
        } else {
          return carryOut(c);
        }
      },
      command);
}

std::intptr_t HostSession::give(const HostAnswer& answer) {
  if (!answer.reply) return answer.value;
  const char* handedOut = boundary_.handOut(*answer.reply);
  report(SessionEntry::Kind::Reply, "reply " + quoted(*answer.reply));
  return reinterpret_cast<std::intptr_t>(handedOut);
}

void HostSession::report(SessionEntry::Kind kind, const std::string& text) {
  observer_.entry({kind, studio_.now(), text});
}
