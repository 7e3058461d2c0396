// What a host session reports as it runs: every event into the panel, every
// command out of it, what the devices did, and rule violations; and who
// hears it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct SessionEntry {
  enum class Kind {
    Event,      // an event delivered to the panel
    Command,    // a command the panel sent (code 0)
    Reply,      // the host's reply to a command, or a reply handed back
    Device,     // a simulated device changed
    Note,       // something the host could not do, or chose to mention
    Violation,  // the panel broke the boundary's rules: the run fails
    Debug,      // a line of the plug-in's own debug output (Windows only)
  };
  Kind kind;
  std::int64_t timeMs;
  std::string text;
};

// A session entry with its number in a kept log, from 1, and when it was
// reported on the wall clock (milliseconds since 1970, UTC; 0: unknown).
struct LogLine {
  std::uint64_t seq;
  SessionEntry entry;
  std::int64_t wallMs = 0;
};

class SessionObserver {
 public:
  virtual ~SessionObserver() = default;
  virtual void entry(const SessionEntry& entry) = 0;
};

// How a part of the session (the studio, the layouts shown) writes an
// entry: the session stamps it with its clock and passes it on.
using Report = std::function<void(SessionEntry::Kind kind, const std::string& text)>;
