// Transcript: prints a session as it runs, one line per entry, stamped with
// the session's clock.
#pragma once

#include <ostream>

#include "panelhost/log/session_log.h"

class Transcript : public SessionObserver {
 public:
  // With `replies`, the host's replies and their hand-backs are printed too.
  Transcript(std::ostream& out, bool replies) : out_(out), replies_(replies) {}
  void entry(const SessionEntry& entry) override;

 private:
  std::ostream& out_;
  bool replies_;
};
