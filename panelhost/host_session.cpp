// HostSession: creating and deleting the panel, delivering events, and
// carrying out the panel's commands.
#include "panelhost/host_session.h"

#include <cstring>
#include <utility>

#include "framework/message_parts.h"
#include "hostside/host_records.h"

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
  for (const std::string& reply : replies_.outstandingTexts()) {
    violation("reply " + quoted(reply) + " was never handed back with code 5");
  }
  replies_.clear();
  // Ticks and tallies still on their way have no panel to go to.
  agenda_ = Agenda();
}

void HostSession::press(const std::string& panel, const std::string& control, const std::string& message) {
  if (panel_ == nullptr) {
    report(SessionEntry::Kind::Note, "no panel is running");
    return;
  }
  // The host splits the control's message; the panel reads it in place.
  ControlPayload record(panel, control, message.c_str());
  const message_parts& parts = record.message();
  LayoutControl* shown = layout_ && panel == shownPanel_ ? layout_->find(control) : nullptr;
  if (shown == nullptr) {
    report(SessionEntry::Kind::Note, "panel " + quoted(panel) + " shows no control " + quoted(control) +
                                         "; the event is sent all the same");
  } else if (shown->kind == PanelLayout::kList && parts.hasValue) {
    shown->properties["index"] = parts.value;  // the list lights what was picked
  }
  report(SessionEntry::Kind::Event,
         "control " + control + " " + quoted(message) + " on panel " + quoted(panel) + " (code 2)");
  if (dispatch(record.get(), VESK_EVENT_CONTROL) != nullptr) violation("dispatch code 2 returned a block");
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
  TallyPayload record(change.device, change.index, change.text);
  report(SessionEntry::Kind::Event, "tally " + std::to_string(change.device) + " " + std::to_string(change.index) +
                                        " " + quoted(change.text) + " (code 1)");
  if (dispatch(record.get(), VESK_EVENT_TALLY) != nullptr) violation("dispatch code 1 returned a block");
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
    const std::optional<std::string> reply = replies_.takeBack(text);
    if (!reply) {
      violation(deleted_ ? "a reply was handed back after the panel was deleted"
                         : "code 5 with a pointer the host did not hand out, or handed back twice");
      return 0;
    }
    report(SessionEntry::Kind::Reply, "reply " + quoted(*reply) + " handed back (code 5)");
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
  const Result<HostCommand> parsed = parseHostCommand(command);
  if (!parsed) {
    report(SessionEntry::Kind::Note, "cannot carry out " + quoted(command) + ": " + parsed.error());
    return 0;
  }
  return std::visit([this](const auto& c) { return carryOut(c); }, *parsed);
}

std::intptr_t HostSession::carryOut(const LookUpDevice& c) {
  const Device* device = devices_.byName(c.name);
  if (device == nullptr) {
    report(SessionEntry::Kind::Note, "no device named " + quoted(c.name));
    return 0;
  }
  return reply(std::to_string(device->number) + " 0");
}

std::intptr_t HostSession::carryOut(const ShowLayout& c) {
  std::string error;
  std::optional<PanelLayout> layout = PanelLayout::load(c.file, error);
  if (!layout) {
    report(SessionEntry::Kind::Note, error);
    return 0;
  }
  layout_ = std::move(layout);
  shownPanel_ = c.panel;
  report(SessionEntry::Kind::Note, "showing " + quoted(c.file) + " as panel " + quoted(shownPanel_));
  return 1;
}

LayoutControl* HostSession::shownControl(const std::string& panel, const std::string& control) {
  if (!layout_ || panel != shownPanel_) {
    report(SessionEntry::Kind::Note, "panel " + quoted(panel) + " is not shown");
    return nullptr;
  }
  LayoutControl* shown = layout_->find(control);
  if (shown == nullptr) report(SessionEntry::Kind::Note, "panel " + quoted(panel) + " has no control " + quoted(control));
  return shown;
}

std::intptr_t HostSession::carryOut(const SetProperty& c) {
  LayoutControl* control = shownControl(c.panel, c.control);
  if (control == nullptr) return 0;
  const size_t equals = c.text.find('=');
  control->properties[c.text.substr(0, equals)] = equals == std::string::npos ? "" : c.text.substr(equals + 1);
  return 0;
}

std::intptr_t HostSession::carryOut(const GetProperty& c) {
  LayoutControl* control = shownControl(c.panel, c.control);
  if (control == nullptr) return 0;
  if (c.key == "all") {
    std::string all;
    for (const auto& [k, v] : control->properties) all += (all.empty() ? "" : "\n") + k + "=" + v;
    return reply(all);
  }
  auto value = control->properties.find(c.key);
  return reply(c.key + "=" + (value == control->properties.end() ? "" : value->second));
}

std::intptr_t HostSession::carryOut(const ListControls& c) {
  if (!layout_ || c.panel != shownPanel_) {
    report(SessionEntry::Kind::Note, "panel " + quoted(c.panel) + " is not shown");
    return 0;
  }
  std::string names;
  for (const LayoutControl& control : layout_->controls()) {
    if (control.id.compare(0, c.filter.size(), c.filter) != 0) continue;
    names += (names.empty() ? "" : ",") + control.id;
  }
  return reply(names);
}

std::intptr_t HostSession::carryOut(const Route& c) {
  deviceRoute(c.device, c.source, c.dest);
  return 0;
}

std::intptr_t HostSession::carryOut(const RegisterTallies& c) {
  if (!c.add) registrations_[c.device].clear();
  const long long last = cutRange(c.first, c.last);
  for (long long i = c.first; i <= last; ++i) registrations_[c.device].insert(static_cast<int>(i));
  return 0;
}

std::intptr_t HostSession::carryOut(const PollTallies& c) {
  const long long last = cutRange(c.first, c.last);
  for (long long i = c.first; i <= last; ++i) {
    const int index = static_cast<int>(i);
    if (registered(c.device, index)) {
      agenda_.addTally(now_ + devices_.tallyDelayMs(), {c.device, index, devices_.tallyText(c.device, index)});
    }
  }
  return 0;
}

std::intptr_t HostSession::carryOut(const UnregisterTallies& c) {
  registrations_.erase(c.device);
  return 0;
}

std::intptr_t HostSession::carryOut(const ArmTimer& c) {
  agenda_.armTimer(c.id, c.interval.value_or(0), now_);
  return 0;
}

std::intptr_t HostSession::carryOut(const PanelGone&) { return 0; }  // recorded, nothing to do

long long HostSession::cutRange(long long first, long long last) {
  if (last - first >= kMaxRange) {
    report(SessionEntry::Kind::Note, "range cut to " + std::to_string(kMaxRange) + " indices");
    return first + kMaxRange - 1;
  }
  return last;
}

std::intptr_t HostSession::reply(const std::string& text) {
  const char* handedOut = replies_.handOut(text);
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
