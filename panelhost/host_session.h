// HostSession: the panel host's side of one panel, joining the boundary
// with the plug-in (PanelBoundary: calls and rule checks), the simulated
// studio (Studio: devices, tie lines, registrations, timers, clock) and the
// layout the panel shows. It turns what happens in the studio into events
// for the panel, and the panel's commands into changes in the studio and
// the layout, and reports each to its observer.
//
// The session does not own a clock: the caller moves time on with
// advanceTo() (a virtual clock in scripted runs, the real one otherwise).
// Everything happens on the caller's thread, one event at a time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "framework/vesk_boundary.h"
#include "hostside/host_command.h"
#include "hostside/result.h"
#include "panelhost/panel_boundary.h"
#include "panelhost/panel_layout.h"
#include "panelhost/session_log.h"
#include "panelhost/studio.h"
#include "platform/client_host_base.h"

class HostSession : public client_host_base {
 public:
  HostSession(vesk_load_function loader, std::string layoutFolder, Devices devices, SessionObserver& observer);
  // Deletes the panel if it is still running.
  ~HostSession() override;

  // Creates the panel; why not (also noted) when the export returns null.
  Result<> start();
  // Deletes the panel through slot 0 and checks that every reply came back.
  void stop();
  bool running() const { return boundary_.running(); }

  // The operator works a control. `choice` is what the operator picked: a
  // source for a list, a page for a group selector, nothing for a button,
  // or a whole message (text holding '='); PanelLayout::messageFor makes
  // the message from it. The panel is the shown one unless `panel` names
  // another. A control the layout does not show is refused unless
  // `anyControl`, when the choice itself is sent as the message. A list
  // lights the source it was given ("index=<n>"). The message sent, or why
  // nothing was: no panel runs, the panel shows no such control (the reason
  // then starts with kNoControl), or the choice does not fit the control.
  static constexpr const char* kNoControl = "the panel shows no control ";
  struct Press {
    std::string control;
    std::string choice;
    std::optional<std::string> panel;
    bool anyControl = false;
  };
  Result<std::string> press(const Press& press);
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
  std::int64_t now() const { return studio_.now(); }
  std::optional<std::int64_t> nextDue() const { return studio_.nextDue(); }

  // The layout the panel showed with "PS"; null before.
  const PanelLayout* layout() const { return layout_ ? &*layout_ : nullptr; }
  const std::string& shownPanel() const { return shownPanel_; }
  const Devices& devices() const { return studio_.devices(); }
  // Every command the panel sent, in order, since the last forgetCommands().
  const std::vector<std::string>& commands() const { return commands_; }
  void forgetCommands() { commands_.clear(); }
  const std::vector<std::string>& violations() const { return boundary_.violations(); }
  // The first layout the panel showed that could not be read: one line
  // naming the file, the place and the field. A run stops on it (status 2).
  const std::optional<std::string>& fileFault() const { return fileFault_; }
  bool registered(int device, int index) const { return studio_.registered(device, index); }

  std::intptr_t command(const char* text, int code) override;

 private:
  void deliverTally(const TallyChange& change);
  // Sends every tally due at the current time (tally delay 0).
  void settle() { advanceTo(now()); }
  std::intptr_t reply(const std::string& text);
  void report(SessionEntry::Kind kind, const std::string& text);

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
  // The layout if it shows `panel`, or null with a note.
  PanelLayout* shownLayout(const std::string& panel);
  // A control of the shown panel, or null with a note.
  LayoutControl* shownControl(const std::string& panel, const std::string& control);
  // The last index of a range, cut to kMaxRange indices with a note.
  int cutRange(int first, int last);

  vesk_load_function loader_;
  std::string layoutFolder_;
  SessionObserver& observer_;
  PanelBoundary boundary_;
  Studio studio_;
  std::optional<PanelLayout> layout_;
  std::string shownPanel_;
  std::vector<std::string> commands_;
  std::optional<std::string> fileFault_;
};
