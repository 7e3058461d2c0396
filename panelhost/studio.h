// Studio: the simulated studio a panel works: the devices and their tie
// lines, the panel's tally registrations, its timers, and the clock that
// orders timer ticks and tally deliveries.
//
// The studio owns timing: a route changes crosspoints at once and sends the
// resulting tallies to the panel tallyDelayMs later; a poll does the same
// for the current tallies; a device's own report goes at once. Only tallies
// of registered indices are sent, and registration is checked again when
// one falls due. Time is in milliseconds on the caller's clock (virtual in
// scripted runs, real otherwise) and never goes back.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <variant>

#include "panelhost/agenda.h"
#include "panelhost/devices.h"

class Studio {
 public:
  explicit Studio(Devices devices) : devices_(std::move(devices)) {}

  const Devices& devices() const { return devices_; }
  std::int64_t now() const { return now_; }

  // Routes `source` to `dest` on `device`; false when there is no such
  // device. The changed tallies, through tie lines, follow after the delay.
  bool route(int device, int source, int dest);
  // Device `device` reports `text` on `index` by itself: sent at once.
  void reportTally(int device, int index, std::string text);

  // Registers indices first..last of `device` (replacing its registrations
  // unless `add`); polls sends their current tallies after the delay.
  void registerTallies(int device, int first, int last, bool add);
  void pollTallies(int device, int first, int last);
  void unregister(int device) { registrations_.erase(device); }
  bool registered(int device, int index) const;

  // Timer `id` ticks every `intervalMs` from now; 0 or less stops it.
  void armTimer(int id, int intervalMs) { agenda_.armTimer(id, intervalMs, now_); }

  // Something due for the panel: a timer tick (its id) or a tally.
  using Due = std::variant<int, TallyChange>;
  // The earliest item due at or before `until`, with the clock moved to it;
  // nothing once none is left (the clock is then at `until`).
  std::optional<Due> takeDue(std::int64_t until);
  std::optional<std::int64_t> nextDue() const { return agenda_.nextDue(); }
  // Forgets every tick and tally on its way: the panel is gone.
  void dropAgenda() { agenda_ = Agenda(); }

 private:
  Devices devices_;
  Agenda agenda_;
  std::int64_t now_ = 0;
  std::map<int, std::set<int>> registrations_;  // device -> indices
};
