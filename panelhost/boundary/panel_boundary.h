// PanelBoundary: the host's end of the binary boundary with one panel, and
// the rules both sides must keep there. It creates the panel through the
// plug-in's export, delivers events through slot 1, deletes the panel
// through slot 0, and hands out and takes back the host's replies.
//
// Every breach is reported to the observer as a violation, as it happens,
// and kept:
// - a reply not handed back with code 5 by the time the panel is deleted;
// - code 5 with a pointer the host never handed out, or handed back twice;
// - hostCommand with a code other than 0 and 5;
// - any command or hand-back after deletion;
// - dispatch returning a block for any code but 3;
// - slot 0 not returning the panel's address;
// - dispatch entered again before it returned;
// - the panel writing into a message the host lent it.
//
// The plug-in's own debug lines, written during any of those calls, go to
// `debugLine` where the system lets them be caught (debug_lines.h).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/vesk_boundary.h"
#include "hostside/reply_ledger.h"
#include "panelhost/boundary/debug_lines.h"

class PanelBoundary {
 public:
  // `report` hears every violation (and nothing else) at once; `debugLine`
  // each debug line the plug-in writes while the host calls it.
  explicit PanelBoundary(std::function<void(const std::string&)> report, DebugLineListener::Heard debugLine = {})
      : report_(std::move(report)), debugLine_(std::move(debugLine)) {}

  // Calls `loader`; false when it returned no panel.
  bool create(vesk_load_function loader, client_host* host, const char* folder);
  bool running() const { return panel_ != nullptr; }
  // Whether a call into the panel (creation, an event, deletion) has not
  // yet returned.
  bool inCall() const { return dispatching_; }
  // Delivers one event; the block the panel returned (code 3 only), null
  // otherwise or when no panel runs.
  char* deliver(void* payload, int code);
  // Delivers a code-3 message in a copy the host owns, and checks that the
  // panel left it as it was; the answer block, if any.
  char* deliverProperty(const std::string& message);
  // Deletes the panel through slot 0 and checks that every reply came back.
  void destroy();

  // The host's side of hostCommand. True when a code-0 command may be
  // carried out (a violation is reported otherwise).
  bool acceptCommand(int code, const std::string& text);
  // A reply block for the panel, owned here until it is handed back.
  const char* handOut(std::string_view text) { return replies_.handOut(text); }
  // Takes a code-5 hand-back: the reply's text, or nothing after a
  // violation.
  std::optional<std::string> handBack(const char* pointer);

  const std::vector<std::string>& violations() const { return violations_; }

 private:
  void violation(const std::string& text);

  std::function<void(const std::string&)> report_;
  DebugLineListener::Heard debugLine_;
  vesk_client_callback* panel_ = nullptr;
  bool deleted_ = false;
  bool dispatching_ = false;
  ReplyLedger replies_;
  std::vector<std::string> violations_;
};
