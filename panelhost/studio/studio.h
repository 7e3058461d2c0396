// Studio: the simulated studio a panel works: the devices and their tie
// lines, the panel's tally registrations, its timers, and the clock that
// orders timer ticks and tally deliveries. It carries out the panel's
// commands to the studio ("SD", "RC", "RR", "RP", "RU", "ET") and what
// happens in the studio without the panel asking (a route made elsewhere,
// a device's own tally).
//
// The studio owns timing: a route changes crosspoints at once and sends the
// resulting tallies to the panel tallyDelayMs later; a poll does the same
// for the current tallies; a device's own report goes at once. Only tallies
// of registered indices are sent, and registration is checked again when
// one falls due. Time is in milliseconds on the caller's clock (virtual in
// scripted runs, real otherwise) and never goes back. Nothing reaches the
// panel from here: the session takes what falls due (takeDue) and
// delivers it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <variant>

#include "hostside/host_command.h"
#include "panelhost/log/session_log.h"
#include "panelhost/studio/agenda.h"
#include "panelhost/studio/devices.h"

class Studio {
 public:
  // A registration or poll over more indices than any device has is cut
  // short, so a wild range cannot stall the host.
  static constexpr long long kMaxRange = 4096;

  // `report` hears what the devices do (Device entries) and what the studio
  // could not do (Notes).
  Studio(Devices devices, Report report) : devices_(std::move(devices)), report_(std::move(report)) {}

  const Devices& devices() const { return devices_; }
  std::int64_t now() const { return now_; }

  // The panel's commands to the studio; each answers as hostCommand does.
  // "SD" replies "<number> 0", or nothing (a note) for an unknown name.
  HostAnswer carryOut(const LookUpDevice& c);
  HostAnswer carryOut(const Route& c);
  HostAnswer carryOut(const RegisterTallies& c);
  HostAnswer carryOut(const PollTallies& c);
  HostAnswer carryOut(const UnregisterTallies& c);
  HostAnswer carryOut(const ArmTimer& c);

  // A route made on `device` from outside the panel; a note when there is
  // no such device. The changed tallies, through tie lines, follow after
  // the delay.
  void deviceRoute(int device, int source, int dest);
  // Device `device` reports `text` on `index` by itself: due at once.
  void deviceTally(int device, int index, const std::string& text);

  bool registered(int device, int index) const;

  // Something due for the panel: a timer tick (its id) or a tally.
  using Due = std::variant<int, TallyChange>;
  // The earliest item due at or before `until`, with the clock moved to it;
  // nothing once none is left (the clock is then at `until`).
  std::optional<Due> takeDue(std::int64_t until);
  std::optional<std::int64_t> nextDue() const { return agenda_.nextDue(); }

  // The crosspoints (device, destination) whose source or tally changed
  // since the last call, each once: what a view of the studio must redraw.
  // Bounded by the table's size however long nobody asks.
  std::set<std::pair<int, int>> takeChanged() { return std::exchange(changed_, {}); }
  // Forgets every tick and tally on its way: the panel is gone.
  void dropAgenda() { agenda_ = Agenda(); }

 private:
  // Registers indices first..last of `device` (replacing its registrations
  // unless `add`); a poll sends their current tallies after the delay.
  void registerTallies(int device, int first, int last, bool add);
  void pollTallies(int device, int first, int last);
  // The last index of a range, cut to kMaxRange indices with a note.
  int cutRange(int first, int last);

  Devices devices_;
  Report report_;
  Agenda agenda_;
  std::int64_t now_ = 0;
  std::map<int, std::set<int>> registrations_;  // device -> indices
  std::set<std::pair<int, int>> changed_;        // (device, destination), see takeChanged()
};
