// Studio: the panel's commands to the studio, routes, tallies on their way,
// registrations and timers.
#include "panelhost/studio/studio.h"

#include "panelhost/support/text.h"

HostAnswer Studio::carryOut(const LookUpDevice& c) {
  const Device* device = devices_.byName(c.name);
  if (device == nullptr) {
    report_(SessionEntry::Kind::Note, "no device named " + quoted(c.name));
    return {};
  }
  return {std::to_string(device->number) + " 0"};
}

HostAnswer Studio::carryOut(const Route& c) {
  deviceRoute(c.device, c.source, c.dest);
  return {};
}

HostAnswer Studio::carryOut(const RegisterTallies& c) {
  registerTallies(c.device, c.first, cutRange(c.first, c.last), c.add);
  return {};
}

HostAnswer Studio::carryOut(const PollTallies& c) {
  pollTallies(c.device, c.first, cutRange(c.first, c.last));
  return {};
}

HostAnswer Studio::carryOut(const UnregisterTallies& c) {
  registrations_.erase(c.device);
  return {};
}

HostAnswer Studio::carryOut(const ArmTimer& c) {
  agenda_.armTimer(c.id, c.interval.value_or(0), now_);
  return {};
}

void Studio::deviceRoute(int device, int source, int dest) {
  const Device* d = devices_.byNumber(device);
  if (d == nullptr) {
    report_(SessionEntry::Kind::Note, "no device numbered " + std::to_string(device));
    return;
  }
  report_(SessionEntry::Kind::Device, d->name + ": destination " + std::to_string(dest) + " now takes " +
                                          std::to_string(source) + " " + quoted(devices_.sourceName(device, source)));
  for (TallyChange& change : devices_.route(device, source, dest)) {
    changed_.insert({change.device, change.index});
    if (registered(change.device, change.index)) {
      agenda_.addTally(now_ + devices_.tallyDelayMs(), std::move(change));
    }
  }
}

void Studio::deviceTally(int device, int index, const std::string& text) {
  const Device* d = devices_.byNumber(device);
  report_(SessionEntry::Kind::Device, (d ? d->name : "device " + std::to_string(device)) + " reports destination " +
                                          std::to_string(index) + " showing " + quoted(text));
  if (registered(device, index)) agenda_.addTally(now_, {device, index, text});
}

void Studio::registerTallies(int device, int first, int last, bool add) {
  std::set<int>& indices = registrations_[device];
  if (!add) indices.clear();
  for (long long i = first; i <= last; ++i) indices.insert(static_cast<int>(i));
}

void Studio::pollTallies(int device, int first, int last) {
  for (long long i = first; i <= last; ++i) {
    const int index = static_cast<int>(i);
    if (registered(device, index)) {
      agenda_.addTally(now_ + devices_.tallyDelayMs(), {device, index, devices_.tallyText(device, index)});
    }
  }
}

int Studio::cutRange(int first, int last) {
  if (static_cast<long long>(last) - first < kMaxRange) return last;
  report_(SessionEntry::Kind::Note, "range cut to " + std::to_string(kMaxRange) + " indices");
  return static_cast<int>(first + kMaxRange - 1);
}

bool Studio::registered(int device, int index) const {
  auto it = registrations_.find(device);
  return it != registrations_.end() && it->second.count(index) != 0;
}

std::optional<Studio::Due> Studio::takeDue(std::int64_t until) {
  while (std::optional<Agenda::Item> item = agenda_.takeDue(until)) {
    if (item->due > now_) now_ = item->due;
    if (item->timer) return Due(*item->timer);
    // A tally whose index was unregistered on its way is not sent.
    if (registered(item->tally->device, item->tally->index)) return Due(std::move(*item->tally));
  }
  if (until > now_) now_ = until;
  return std::nullopt;
}
