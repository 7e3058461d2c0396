// Studio: routes, tallies on their way, registrations and timers.
#include "panelhost/studio.h"

bool Studio::route(int device, int source, int dest) {
  if (devices_.byNumber(device) == nullptr) return false;
  for (TallyChange& change : devices_.route(device, source, dest)) {
    if (registered(change.device, change.index)) {
      agenda_.addTally(now_ + devices_.tallyDelayMs(), std::move(change));
    }
  }
  return true;
}

void Studio::reportTally(int device, int index, std::string text) {
  if (registered(device, index)) agenda_.addTally(now_, {device, index, std::move(text)});
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
