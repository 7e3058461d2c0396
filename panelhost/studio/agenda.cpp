// Agenda: ordering timer ticks and tally deliveries.
#include "panelhost/studio/agenda.h"

void Agenda::armTimer(int id, int intervalMs, std::int64_t now) {
  if (intervalMs <= 0) {
    stopTimer(id);
    return;
  }
  timers_[id] = Timer{intervalMs, now + intervalMs, nextOrder_++};
}

void Agenda::stopTimer(int id) { timers_.erase(id); }

void Agenda::addTally(std::int64_t due, TallyChange change) {
  tallies_.emplace(std::make_pair(due, nextOrder_++), std::move(change));
}

std::optional<std::int64_t> Agenda::nextDue() const {
  std::optional<std::int64_t> next;
  if (!tallies_.empty()) next = tallies_.begin()->first.first;
  for (const auto& [id, timer] : timers_) {
    if (!next || timer.due < *next) next = timer.due;
  }
  return next;
}

std::optional<Agenda::Item> Agenda::takeDue(std::int64_t now) {
  // The earliest timer by (due, order).
  auto timer = timers_.end();
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    if (timer == timers_.end() || std::make_pair(it->second.due, it->second.order) <
                                      std::make_pair(timer->second.due, timer->second.order)) {
      timer = it;
    }
  }
  const bool tallyFirst =
      !tallies_.empty() && (timer == timers_.end() || tallies_.begin()->first <
                                                          std::make_pair(timer->second.due, timer->second.order));
  if (tallyFirst) {
    if (tallies_.begin()->first.first > now) return std::nullopt;
    Item item{tallies_.begin()->first.first, std::nullopt, std::move(tallies_.begin()->second)};
    tallies_.erase(tallies_.begin());
    return item;
  }
  if (timer == timers_.end() || timer->second.due > now) return std::nullopt;
  Item item{timer->second.due, timer->first, std::nullopt};
  timer->second.due += timer->second.interval;
  timer->second.order = nextOrder_++;
  return item;
}
