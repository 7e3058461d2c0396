// HostSession: the panel host's side of one panel. It creates the panel
// through the plug-in's export, delivers events through slot 1 of the
// panel's table, deletes it through slot 0, and carries out the panel's
// commands on a layout and on simulated devices.
//
// It checks the boundary's rules as it goes and reports each breach as a
// violation: every reply it hands out must come back once with code 5, and
// nothing may reach the host after the panel is deleted. It hands every
// code-3 answer block back itself.
//
// The session does not own a clock: the caller moves time on with
// advanceTo() (a virtual clock in scripted runs, the real one otherwise).
// Everything happens on the caller's thread, one event at a time.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "framework/vesk_boundary.h"
#include "hostside/host_command.h"
#include "hostside/reply_ledger.h"
#include "panelhost/agenda.h"
#include "panelhost/devices.h"
#include "panelhost/panel_layout.h"
#include "panelhost/session_log.h"
#include "platform/client_host_base.h"

class HostSession : public client_host_base {
 public:
  HostSession(vesk_load_function loader, std::string layoutFolder, Devices devices, SessionObserver& observer);
  // Deletes the panel if it is still running.
  ~HostSession() override;

  // Creates the panel; false (with a note) when the export returns null.
  bool start();
  // Deletes the panel through slot 0 and checks that every reply came back.
  void stop();
  bool running() const { return panel_ != nullptr; }

  // The operator works `control` of panel `panel`: a code-2 event with the
  // message split as the host splits it. A list also highlights the source
  // it was given ("index=<n>").
  void press(const std::string& panel, const std::string& control, const std::string& message);
  // An enclosing panel's property message (code 3); the answer, if any, is
  // copied and its block handed back with code 5.
  std::optional<std::string> property(const std::string& message);
  // A device reports a tally by itself (as if routed from elsewhere).
  void deviceTally(int device, int index, const std::string& text);
  // A route made on a device from outside the panel.
  void deviceRoute(int device, int source, int dest);

  // Moves the clock to `timeMs`, delivering every timer tick and tally due
  // until then in time order. Time never goes back.
  void advanceTo(std::int64_t timeMs);
  std::int64_t now() const { return now_; }
  std::optional<std::int64_t> nextDue() const { return agenda_.nextDue(); }

  // The layout the panel showed with "PS"; null before.
  const PanelLayout* layout() const { return layout_ ? &*layout_ : nullptr; }
  const std::string& shownPanel() const { return shownPanel_; }
  const Devices& devices() const { return devices_; }
  // Every command the panel sent, in order, since the last forgetCommands().
  const std::vector<std::string>& commands() const { return commands_; }
  void forgetCommands() { commands_.clear(); }
  const std::vector<std::string>& violations() const { return violations_; }
  bool registered(int device, int index) const;

  std::intptr_t command(const char* text, int code) override;

 private:
  char* dispatch(void* payload, int code);
  void deliverTally(const TallyChange& change);
  // Sends every tally due at the current time (tally delay 0).
  void settle();
  // One handler per host command; each returns what hostCommand returns.
  std::intptr_t carryOut(const SetProperty& c);
  std::intptr_t carryOut(const GetProperty& c);
  std::intptr_t carryOut(const ShowLayout& c);
  std::intptr_t carryOut(const LookUpDevice& c);
  std::intptr_t carryOut(const ListControls& c);
  std::intptr_t carryOut(const Route& c);
  std::intptr_t carryOut(const RegisterTallies& c);
  std::intptr_t carryOut(const PollTallies& c);
  std::intptr_t carryOut(const UnregisterTallies& c);
  std::intptr_t carryOut(const ArmTimer& c);
  std::intptr_t carryOut(const PanelGone& c);
  // The control of the shown panel, or null with a note.
  LayoutControl* shownControl(const std::string& panel, const std::string& control);
  // The last index of a range cut to kMaxRange indices, with a note.
  long long cutRange(long long first, long long last);
  std::intptr_t reply(const std::string& text);
  void scheduleTallies(const std::vector<TallyChange>& changes);
  void report(SessionEntry::Kind kind, const std::string& text);
  void violation(const std::string& text);

  vesk_load_function loader_;
  std::string layoutFolder_;
  Devices devices_;
  SessionObserver& observer_;
  vesk_client_callback* panel_ = nullptr;
  bool deleted_ = false;
  bool dispatching_ = false;
  std::int64_t now_ = 0;
  Agenda agenda_;
  std::optional<PanelLayout> layout_;
  std::string shownPanel_;
  std::map<int, std::set<int>> registrations_;  // device -> indices
  ReplyLedger replies_;  // replies handed out, not yet back
  std::vector<std::string> commands_;
  std::vector<std::string> violations_;
};
