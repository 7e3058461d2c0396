// HostSession: events into the panel, and the panel's commands carried out.
#include "panelhost/host_session.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "framework/message_parts.h"
#include "hostside/host_records.h"
#include "panelhost/file_path.h"

namespace {

// A registration or poll over more indices than any device has is cut
// short, so a wild range cannot stall the host.
constexpr long long kMaxRange = 4096;

}  // namespace

HostSession::HostSession(vesk_load_function loader, std::string layoutFolder, Devices devices,
                         SessionObserver& observer)
    : loader_(loader),
      layoutFolder_(std::move(layoutFolder)),
      observer_(observer),
      boundary_([this](const std::string& text) { report(SessionEntry::Kind::Violation, text); },
                [this](const std::string& line) { report(SessionEntry::Kind::Debug, line); }),
      studio_(std::move(devices)) {}

HostSession::~HostSession() { stop(); }

Result<> HostSession::start() {
  report(SessionEntry::Kind::Event, "create the panel: load_vesk_client_script(host, " + quoted(layoutFolder_) + ")");
  if (!boundary_.create(loader_, asHost(), layoutFolder_.c_str())) {
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

Result<std::string> HostSession::press(const Press& press) {
  if (!running()) {
    report(SessionEntry::Kind::Note, "no panel is running");
    return fail("no panel is running");
  }
  const std::string panel = press.panel.value_or(shownPanel_.empty() ? "1" : shownPanel_);
  // The layout gives the message its form even for another panel's control.
  LayoutControl* control = layout_ ? layout_->find(press.control) : nullptr;
  LayoutControl* shown = panel == shownPanel_ ? control : nullptr;
  if (shown == nullptr && !press.anyControl) return fail(kNoControl + ("'" + press.control + "'"));
  const Result<std::string> made =
      control != nullptr ? PanelLayout::messageFor(*control, press.choice) : Result<std::string>(press.choice);
  if (!made) return made.failure();
  const std::string& message = *made;
  // The host splits the control's message; the panel reads it in place.
  ControlPayload record(panel, press.control, message.c_str());
  if (shown == nullptr) {
    report(SessionEntry::Kind::Note, "panel " + quoted(panel) + " shows no control " + quoted(press.control) +
                                         "; the event is sent all the same");
  } else if (shown->kind == PanelLayout::kList && record.message().hasValue) {
    shown->properties["index"] = record.message().value;  // the list lights what was picked
  }
  report(SessionEntry::Kind::Event,
         "control " + press.control + " " + quoted(message) + " on panel " + quoted(panel) + " (code 2)");
  boundary_.deliver(record.get(), VESK_EVENT_CONTROL);
  settle();
  return message;
}

std::optional<std::string> HostSession::property(const std::string& message) {
  if (!running()) {
    report(SessionEntry::Kind::Note, "no panel is running");
    return std::nullopt;
  }
  report(SessionEntry::Kind::Event, "property " + quoted(message) + " (code 3)");
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

void HostSession::deviceTally(int device, int index, const std::string& text) {
  const Device* d = devices().byNumber(device);
  report(SessionEntry::Kind::Device, (d ? d->name : "device " + std::to_string(device)) + " reports destination " +
                                         std::to_string(index) + " showing " + quoted(text));
  studio_.reportTally(device, index, text);
  settle();
}

void HostSession::deviceRoute(int device, int source, int dest) {
  const Device* d = devices().byNumber(device);
  if (d == nullptr) {
    report(SessionEntry::Kind::Note, "no device numbered " + std::to_string(device));
    return;
  }
  report(SessionEntry::Kind::Device, d->name + ": destination " + std::to_string(dest) + " now takes " +
                                         std::to_string(source) + " " + quoted(devices().sourceName(device, source)));
  studio_.route(device, source, dest);
  settle();
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
  const Result<HostCommand> parsed = parseHostCommand(command);
  if (!parsed) {
    report(SessionEntry::Kind::Note, "cannot carry out " + quoted(command) + ": " + parsed.error());
    return 0;
  }
  return std::visit([this](const auto& c) { return carryOut(c); }, *parsed);
}

std::intptr_t HostSession::carryOut(const LookUpDevice& c) {
  const Device* device = devices().byName(c.name);
  if (device == nullptr) {
    report(SessionEntry::Kind::Note, "no device named " + quoted(c.name));
    return 0;
  }
  return reply(std::to_string(device->number) + " 0");
}

std::intptr_t HostSession::carryOut(const ShowLayout& c) {
  std::string file = c.file;
  // "PS '<panel>' '<file>'" with no arguments, where the layout folder holds
  // "' '" itself, reads like a file and arguments: the folder given to the
  // panel is taken whole.
  const std::string folder = layoutFolder_ + "/";
  if (c.args && file.rfind(folder, 0) != 0 && (file + "' '" + *c.args).rfind(folder, 0) == 0) {
    file += "' '" + *c.args;
  }
  std::error_code missing;
  if (!std::filesystem::exists(filePath(file), missing)) {
    const size_t slash = file.find_last_of('/');
    const std::string in = slash == std::string::npos ? "." : file.substr(0, slash);
    report(SessionEntry::Kind::Note, "warning: no layout " + quoted(file.substr(slash + 1)) + " in folder " +
                                         quoted(in) + ": panel " + quoted(c.panel) + " shows nothing");
    return 0;
  }
  Result<PanelLayout> layout = PanelLayout::load(file);
  if (!layout) {
    report(SessionEntry::Kind::Note, layout.error());
    if (!fileFault_) fileFault_ = layout.error();
    return 0;
  }
  layout_ = std::move(*layout);
  shownPanel_ = c.panel;
  report(SessionEntry::Kind::Note, "showing " + quoted(file) + " as panel " + quoted(shownPanel_));
  return 1;
}

PanelLayout* HostSession::shownLayout(const std::string& panel) {
  if (layout_ && panel == shownPanel_) return &*layout_;
  report(SessionEntry::Kind::Note, "panel " + quoted(panel) + " is not shown");
  return nullptr;
}

LayoutControl* HostSession::shownControl(const std::string& panel, const std::string& control) {
  PanelLayout* layout = shownLayout(panel);
  if (layout == nullptr) return nullptr;
  LayoutControl* shown = layout->find(control);
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
  const PanelLayout* layout = shownLayout(c.panel);
  if (layout == nullptr) return 0;
  std::string names;
  for (const LayoutControl& control : layout->controls()) {
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
  studio_.registerTallies(c.device, c.first, cutRange(c.first, c.last), c.add);
  return 0;
}

std::intptr_t HostSession::carryOut(const PollTallies& c) {
  studio_.pollTallies(c.device, c.first, cutRange(c.first, c.last));
  return 0;
}

std::intptr_t HostSession::carryOut(const UnregisterTallies& c) {
  studio_.unregister(c.device);
  return 0;
}

std::intptr_t HostSession::carryOut(const ArmTimer& c) {
  studio_.armTimer(c.id, c.interval.value_or(0));
  return 0;
}

std::intptr_t HostSession::carryOut(const PanelGone&) { return 0; }  // recorded, nothing to do

int HostSession::cutRange(int first, int last) {
  if (static_cast<long long>(last) - first < kMaxRange) return last;
  report(SessionEntry::Kind::Note, "range cut to " + std::to_string(kMaxRange) + " indices");
  return static_cast<int>(first + kMaxRange - 1);
}

std::intptr_t HostSession::reply(const std::string& text) {
  const char* handedOut = boundary_.handOut(text);
  report(SessionEntry::Kind::Reply, "reply " + quoted(text));
  return reinterpret_cast<std::intptr_t>(handedOut);
}

void HostSession::report(SessionEntry::Kind kind, const std::string& text) {
  observer_.entry({kind, now(), text});
}
