// HostSession: creating and deleting the panel, delivering events, and
// carrying out the panel's commands.
#include "panelhost/host_session.h"

#include <cstring>
#include <utility>

#include "framework/message_parts.h"

namespace {

// A registration or poll over more indices than any device has is cut
// short, so a wild range cannot stall the host.
constexpr long long kMaxRange = 4096;

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

HostSession::HostSession(vesk_load_function loader, std::string layoutFolder, Devices devices,
                         SessionObserver& observer)
    : loader_(loader), layoutFolder_(std::move(layoutFolder)), devices_(std::move(devices)), observer_(observer) {}

HostSession::~HostSession() { stop(); }

bool HostSession::start() {
  report(SessionEntry::Kind::Event, "create the panel: load_vesk_client_script(host, " + quoted(layoutFolder_) + ")");
  panel_ = loader_(asHost(), layoutFolder_.c_str());
  if (panel_ == nullptr) {
    report(SessionEntry::Kind::Note, "load_vesk_client_script returned no panel");
    return false;
  }
  settle();
  return true;
}

void HostSession::stop() {
  if (panel_ == nullptr) return;
  report(SessionEntry::Kind::Event, "delete the panel (slot 0, free)");
  vesk_client_callback* panel = panel_;
  void* returned = panel->table->destroy(panel, 1);
  panel_ = nullptr;
  deleted_ = true;
  if (returned != static_cast<void*>(panel)) violation("slot 0 did not return the panel's address");
  for (const auto& [pointer, block] : outstanding_) {
    violation("reply " + quoted(block.get()) + " was never handed back with code 5");
  }
  outstanding_.clear();
  // Ticks and tallies still on their way have no panel to go to.
  agenda_ = Agenda();
}

void HostSession::press(const std::string& panel, const std::string& control, const std::string& message) {
  if (panel_ == nullptr) {
    report(SessionEntry::Kind::Note, "no panel is running");
    return;
  }
  // The host splits the control's message; the panel reads it in place.
  const message_parts parts(message.c_str());
  LayoutControl* shown = layout_ && panel == shownPanel_ ? layout_->find(control) : nullptr;
  if (shown == nullptr) {
    report(SessionEntry::Kind::Note, "panel " + quoted(panel) + " shows no control " + quoted(control) +
                                         "; the event is sent all the same");
  } else if (shown->kind == PanelLayout::kList && parts.hasValue) {
    shown->properties["index"] = parts.value;  // the list lights what was picked
  }
  control_record record{};
  std::memset(record.unused, 0, sizeof record.unused);
  record.panel = panel.c_str();
  record.control = control.c_str();
  record.message = &parts;
  report(SessionEntry::Kind::Event,
         "control " + control + " " + quoted(message) + " on panel " + quoted(panel) + " (code 2)");
  if (dispatch(&record, VESK_EVENT_CONTROL) != nullptr) violation("dispatch code 2 returned a block");
  settle();
}

std::optional<std::string> HostSession::property(const std::string& message) {
  if (panel_ == nullptr) {
    report(SessionEntry::Kind::Note, "no panel is running");
    return std::nullopt;
  }
  // The panel must not write into the host's text.
  std::vector<char> text(message.begin(), message.end());
  text.push_back('\0');
  report(SessionEntry::Kind::Event, "property " + quoted(message) + " (code 3)");
  char* block = dispatch(text.data(), VESK_EVENT_PROPERTY);
  if (std::strcmp(text.data(), message.c_str()) != 0) violation("the panel changed the property message");
  std::optional<std::string> answer;
  if (block == nullptr) {
    report(SessionEntry::Kind::Reply, "no answer");
  } else {
    answer = block;
    report(SessionEntry::Kind::Reply, "answer " + quoted(*answer));
    report(SessionEntry::Kind::Event, "hand the answer block back (code 5)");
    if (dispatch(block, VESK_EVENT_RELEASE) != nullptr) violation("dispatch code 5 returned a block");
  }
  settle();
  return answer;
}

void HostSession::deviceTally(int device, int index, const std::string& text) {
  const Device* d = devices_.byNumber(device);
  report(SessionEntry::Kind::Device, (d ? d->name : "device " + std::to_string(device)) + " reports destination " +
                                         std::to_string(index) + " showing " + quoted(text));
  if (registered(device, index)) agenda_.addTally(now_, {device, index, text});
  settle();
}

void HostSession::deviceRoute(int device, int source, int dest) {
  const Device* d = devices_.byNumber(device);
  if (d == nullptr) {
    report(SessionEntry::Kind::Note, "no device numbered " + std::to_string(device));
    return;
  }
  report(SessionEntry::Kind::Device, d->name + ": destination " + std::to_string(dest) + " now takes " +
                                         std::to_string(source) + " " + quoted(devices_.sourceName(device, source)));
  scheduleTallies(devices_.route(device, source, dest));
  settle();
}

void HostSession::advanceTo(std::int64_t timeMs) {
  while (std::optional<Agenda::Item> item = agenda_.takeDue(timeMs)) {
    if (item->due > now_) now_ = item->due;
    if (item->timer) {
      report(SessionEntry::Kind::Event, "timer " + std::to_string(*item->timer) + " (code 4)");
      dispatch(reinterpret_cast<void*>(static_cast<std::intptr_t>(*item->timer)), VESK_EVENT_TIMER);
    } else {
      deliverTally(*item->tally);
    }
  }
  if (timeMs > now_) now_ = timeMs;
}

void HostSession::settle() { advanceTo(now_); }

bool HostSession::registered(int device, int index) const {
  auto it = registrations_.find(device);
  return it != registrations_.end() && it->second.count(index) != 0;
}

char* HostSession::dispatch(void* payload, int code) {
  if (panel_ == nullptr) return nullptr;
  if (dispatching_) {
    violation("dispatch entered again before it returned");
    return nullptr;
  }
  dispatching_ = true;
  char* result = panel_->table->dispatch(panel_, payload, code);
  dispatching_ = false;
  return result;
}

void HostSession::deliverTally(const TallyChange& change) {
  if (panel_ == nullptr || !registered(change.device, change.index)) return;
  // The record as the router driver lays it out: device, index and the text
  // stored from byte 16 on.
  std::vector<std::int32_t> words(4 + change.text.size() / 4 + 1, 0);
  auto* record = reinterpret_cast<tally_record*>(words.data());
  record->device = change.device;
  record->index = change.index;
  std::memcpy(record->tally, change.text.c_str(), change.text.size() + 1);
  report(SessionEntry::Kind::Event, "tally " + std::to_string(change.device) + " " + std::to_string(change.index) +
                                        " " + quoted(change.text) + " (code 1)");
  if (dispatch(record, VESK_EVENT_TALLY) != nullptr) violation("dispatch code 1 returned a block");
}

void HostSession::scheduleTallies(const std::vector<TallyChange>& changes) {
  for (const TallyChange& change : changes) {
    if (registered(change.device, change.index)) {
      agenda_.addTally(now_ + devices_.tallyDelayMs(), change);
    }
  }
}

std::intptr_t HostSession::command(const char* text, int code) {
  if (code == VESK_HOST_RELEASE_REPLY) {
    auto it = outstanding_.find(text);
    if (it == outstanding_.end()) {
      violation(deleted_ ? "a reply was handed back after the panel was deleted"
                         : "code 5 with a pointer the host did not hand out, or handed back twice");
      return 0;
    }
    report(SessionEntry::Kind::Reply, "reply " + quoted(it->second.get()) + " handed back (code 5)");
    outstanding_.erase(it);
    return 0;
  }
  const std::string command = text != nullptr ? text : "";
  if (code != VESK_HOST_COMMAND) {
    violation("hostCommand with unknown code " + std::to_string(code) + " for " + quoted(command));
    return 0;
  }
  if (deleted_) {
    violation("command " + quoted(command) + " after the panel was deleted");
    return 0;
  }
  commands_.push_back(command);
  report(SessionEntry::Kind::Command, command);
  std::string error;
  const std::optional<HostCommand> parsed = parseHostCommand(command, error);
  if (!parsed) {
    report(SessionEntry::Kind::Note, "cannot carry out " + quoted(command) + ": " + error);
    return 0;
  }
  return execute(*parsed);
}

std::intptr_t HostSession::execute(const HostCommand& c) {
  const std::string& verb = c.verb;
  if (verb == "SD") {
    const Device* device = devices_.byName(c.texts[0]);
    if (device == nullptr) {
      report(SessionEntry::Kind::Note, "no device named " + quoted(c.texts[0]));
      return 0;
    }
    return reply(std::to_string(device->number) + " 0");
  }
  if (verb == "PS") {
    std::string error;
    std::optional<PanelLayout> layout = PanelLayout::load(c.texts[1], error);
    if (!layout) {
      report(SessionEntry::Kind::Note, error);
      return 0;
    }
    layout_ = std::move(layout);
    shownPanel_ = c.texts[0];
    report(SessionEntry::Kind::Note, "showing " + quoted(c.texts[1]) + " as panel " + quoted(shownPanel_));
    return 1;
  }
  if (verb == "TP" || verb == "TG" || verb == "XI") {
    const std::string& panel = verb == "TP" ? c.texts[1] : c.texts[0];
    if (!layout_ || panel != shownPanel_) {
      report(SessionEntry::Kind::Note, "panel " + quoted(panel) + " is not shown");
      return 0;
    }
    if (verb == "XI") {
      std::string names;
      for (const LayoutControl& control : layout_->controls()) {
        if (control.id.compare(0, c.texts[1].size(), c.texts[1]) != 0) continue;
        names += (names.empty() ? "" : ",") + control.id;
      }
      return reply(names);
    }
    LayoutControl* control = layout_->find(verb == "TP" ? c.texts[2] : c.texts[1]);
    if (control == nullptr) {
      report(SessionEntry::Kind::Note, "panel " + quoted(panel) + " has no control " +
                                           quoted(verb == "TP" ? c.texts[2] : c.texts[1]));
      return 0;
    }
    if (verb == "TP") {
      const std::string& text = c.texts[0];
      const size_t equals = text.find('=');
      control->properties[text.substr(0, equals)] = equals == std::string::npos ? "" : text.substr(equals + 1);
      return 0;
    }
    const std::string& key = c.texts[2];
    if (key == "all") {
      std::string all;
      for (const auto& [k, v] : control->properties) all += (all.empty() ? "" : "\n") + k + "=" + v;
      return reply(all);
    }
    auto value = control->properties.find(key);
    return reply(key + "=" + (value == control->properties.end() ? "" : value->second));
  }
  if (verb == "RC") {
    deviceRoute(c.numbers[0], c.numbers[1], c.numbers[2]);
    return 0;
  }
  if (verb == "RR" || verb == "RP") {
    const long long first = c.numbers[1];
    long long last = c.numbers[2];
    if (last - first >= kMaxRange) {
      report(SessionEntry::Kind::Note, "range cut to " + std::to_string(kMaxRange) + " indices");
      last = first + kMaxRange - 1;
    }
    const int device = c.numbers[0];
    if (verb == "RR" && !c.add) registrations_[device].clear();
    for (long long i = first; i <= last; ++i) {
      const int index = static_cast<int>(i);
      if (verb == "RR") {
        registrations_[device].insert(index);
      } else if (registered(device, index)) {
        agenda_.addTally(now_ + devices_.tallyDelayMs(), {device, index, devices_.tallyText(device, index)});
      }
    }
    return 0;
  }
  if (verb == "RU") {
    registrations_.erase(c.numbers[0]);
    return 0;
  }
  if (verb == "ET") {
    agenda_.armTimer(c.numbers[0], c.numbers.size() > 1 ? c.numbers[1] : 0, now_);
    return 0;
  }
  return 0;  // "AS": recorded, nothing to do
}

std::intptr_t HostSession::reply(const std::string& text) {
  auto block = std::make_unique<char[]>(text.size() + 1);
  std::memcpy(block.get(), text.c_str(), text.size() + 1);
  const char* handedOut = block.get();
  outstanding_[handedOut] = std::move(block);
  report(SessionEntry::Kind::Reply, "reply " + quoted(text));
  return reinterpret_cast<std::intptr_t>(handedOut);
}

void HostSession::report(SessionEntry::Kind kind, const std::string& text) {
  observer_.entry({kind, now_, text});
}

void HostSession::violation(const std::string& text) {
  violations_.push_back(text);
  report(SessionEntry::Kind::Violation, text);
}
