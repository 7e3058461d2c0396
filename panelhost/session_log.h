// What a host session reports as it runs: every event into the panel, every
// command out of it, what the devices did, and rule violations.
#pragma once

#include <cstdint>
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

// A text as entries and messages show it: in double quotes, as it is.
// (Taken by value: std::quoted, found by argument lookup wherever
// <iomanip> comes in, must not be the better match.)
inline std::string quoted(std::string text) { return "\"" + text + "\""; }

// `text` safe to print on a terminal: control bytes and bytes that are not
// UTF-8 as \xNN, everything else (a backslash too) as it is.
//   printable("a\x1b[2J\xff") == "a\\x1b[2J\\xff"
std::string printable(const std::string& text);

class SessionObserver {
 public:
  virtual ~SessionObserver() = default;
  virtual void entry(const SessionEntry& entry) = 0;
};
