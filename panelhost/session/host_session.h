// HostSession: the panel host's side of one panel. It keeps the boundary
// with the plug-in (PanelBoundary: calls and rule checks), turns what the
// operator, an enclosing panel and the studio do into events for the panel,
// hands each command the panel sends to the part that owns it, and reports
// everything to its observer, stamped with the studio's clock:
//   - ShownLayouts: "PS", "TP", "TG", "XI" (what the panel shows);
//   - Studio: "SD", "RC", "RR", "RP", "RU", "ET" (devices, tallies, timers);
//   - the session itself: "AS".
// A new verb is a carryOut overload in the part that owns it; the session
// does not compile while a verb has no owner, or two.
//
// The session does not own a clock: the caller moves time on with
// advanceTo() (a virtual clock in scripted runs, the real one otherwise).
// Everything happens on the caller's thread, one event at a time.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "framework/vesk_boundary.h"
#include "hostside/host_command.h"
#include "hostside/result.h"
#include "panelhost/boundary/panel_boundary.h"
#include "panelhost/log/session_log.h"
#include "panelhost/session/shown_layouts.h"
#include "panelhost/studio/studio.h"
#include "platform/client_host_base.h"

class HostSession : public client_host_base {
 public:
  HostSession(vesk_load_function loader, LayoutFolders layoutFolders, Devices devices, SessionObserver& observer);
  // Deletes the panel if it is still running.
  ~HostSession() override;

  // Creates the panel; why not (also noted) when the export returns null.
  Result<> start();
  // Deletes the panel through slot 0 and checks that every reply came back.
  void stop();
  bool running() const { return boundary_.running(); }

  // The operator works a control (see ControlPress). The message sent, or
  // why nothing was: no panel runs, the panel shows no such control (the
  // reason then starts with ShownLayouts::kNoControl), or the choice does
  // not fit the control.
  Result<std::string> press(const ControlPress& press);
  // An enclosing panel's property message (code 3); the answer, if any, is
  // copied and its block handed back with code 5. `asker`, when given, says
  // in the log who asks instead of an enclosing panel (the page itself).
  std::optional<std::string> property(const std::string& message, const std::string& asker = "");

  // Events as a host records them, delivered as they are, without the
  // layouts or the studio: a control event on `panel` with `message` (code
  // 2), a tally (code 1), a timer tick (code 4), and codes 6 and 7 with a
  // null payload.
  void deliverControl(const std::string& panel, const std::string& control, const std::string& message);
  void deliverTallyEvent(int device, int index, const std::string& text);
  void deliverTimer(int id);
  void deliverUntyped(int code);

  // The next time the panel sends exactly `command`, the host answers
  // `answer` instead of handing the command to its owner, which never sees
  // it (a recorded session's reply; no route made, no timer armed). Answers
  // for one command are used in the order given, each once.
  void answerNext(const std::string& command, HostAnswer answer);

  // Moves the clock to `timeMs`, delivering every timer tick and tally due
  // until then in time order. Time never goes back.
  void advanceTo(std::int64_t timeMs);
  // Delivers what is due now: after something happened in the studio (a
  // device's own tally goes at once).
  void settle() { advanceTo(studio_.now()); }

  // The parts the panel's commands change, for whoever asks or acts on
  // them directly.
  Studio& studio() { return studio_; }
  const Studio& studio() const { return studio_; }
  const ShownLayouts& layouts() const { return layouts_; }

  // What changed since the last call, as the parts that own it recorded
  // it: a layout shown anew, controls whose properties changed, crosspoints
  // whose source or tally changed. A view follows the session with it
  // without comparing whole snapshots.
  struct Changes {
    bool layout = false;
    std::set<std::string> controls;
    std::set<std::pair<int, int>> crosspoints;  // (device, destination)
  };
  Changes takeChanges();

  // Every command the panel sent, in order, since the last forgetCommands().
  const std::vector<std::string>& commands() const { return commands_; }
  void forgetCommands() { commands_.clear(); }
  // The panel's breaches of the host's rules, in order.
  const std::vector<std::string>& violations() const { return boundary_.violations(); }

  // The host's side of hostCommand: a command checked, recorded and
  // carried out by its owner, or a reply handed back (code 5).
  std::intptr_t command(const char* text, int code) override;
  // The command the session carries out itself: the panel is gone.
  HostAnswer carryOut(const PanelGone&) { return {}; }

 private:
  void deliverTally(const TallyChange& change);
  // `command` carried out by its owner.
  HostAnswer carryOutCommand(const HostCommand& command);
  // hostCommand's return value for `answer`: a reply block handed out, or
  // the plain value.
  std::intptr_t give(const HostAnswer& answer);
  void report(SessionEntry::Kind kind, const std::string& text);
  // A note when a list's press picks a source its page does not show or
  // its device does not have: the event still goes to the panel as the
  // host would send it, but no operator could make it so on that screen.
  void noteUnseenSource(const ShownLayouts::Sent& sent);

  vesk_load_function loader_;
  SessionObserver& observer_;
  PanelBoundary boundary_;
  Studio studio_;
  ShownLayouts layouts_;
  std::vector<std::string> commands_;
  std::map<std::string, std::deque<HostAnswer>> answers_;  // answerNext's, by command
};
