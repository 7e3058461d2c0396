// Agenda: what the host has to do later, on its clock: panel timers armed
// with "ET" and device tallies on their way to the panel.
//
// Time is in milliseconds on whatever clock the caller runs (virtual in
// scripted runs, real in interactive ones); the agenda only orders items.
// Items due at the same time come out in the order they were scheduled.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

struct TallyChange {
  int device;
  int index;
  std::string text;
};

class Agenda {
 public:
  struct Item {
    std::int64_t due;
    std::optional<int> timer;          // a timer tick, or
    std::optional<TallyChange> tally;  // a tally to deliver
  };

  // Arms (or re-arms) timer `id` to tick every `intervalMs` from `now`; an
  // interval of 0 or less stops it.
  void armTimer(int id, int intervalMs, std::int64_t now);
  void addTally(std::int64_t due, TallyChange change);

  std::optional<std::int64_t> nextDue() const;
  // Takes the earliest item due at or before `now`. A timer's next tick is
  // scheduled as it is taken; stopping the timer cancels it.
  std::optional<Item> takeDue(std::int64_t now);

 private:
  void stopTimer(int id);
  struct Timer {
    int interval;
    std::int64_t due;
    std::uint64_t order;
  };
  std::map<int, Timer> timers_;
  // Keyed by (due, order): the earliest first, ties in scheduling order.
  std::map<std::pair<std::int64_t, std::uint64_t>, TallyChange> tallies_;
  std::uint64_t nextOrder_ = 0;
};
