// DebugLineListener: the plug-in's own debug output, caught as it is
// written, for the session's log, as a debug-output viewer shows it. The one
// place panelhost touches the system's debug output.
//
// On Windows a vectored exception handler sees each OutputDebugStringA line
// on the thread that writes it, before the system passes it on to a
// debug-output viewer, which still gets it. With a debugger attached, the
// debugger takes each line first and none is caught here. Elsewhere the
// plug-in's stand-in writes its lines to standard error itself, and nothing
// is caught until traceThePlugin() gives it a file to write them to
// (VESK_DEBUG_FD): from then on each listener hears, when it ends, the lines
// written while it lived.
#pragma once

#include <functional>
#include <string>

// Turns the plug-in's trace on for every panel created from now on
// (VESK_TRACE=1 in the process's environment, framework/vesk_trace.h) and
// makes sure its debug lines are caught. Call it before the plug-in is
// loaded: the POSIX stand-in reads where to write once, at its first line.
void traceThePlugin();

class DebugLineListener {
 public:
  using Heard = std::function<void(const std::string& line)>;

  // While it lives, each line written on this thread goes to `heard`
  // (without its line ending), and not to an outer listener of the thread.
  // `heard` must outlive the listener; an empty one hears nothing.
  explicit DebugLineListener(const Heard& heard);
  ~DebugLineListener();
  DebugLineListener(const DebugLineListener&) = delete;
  DebugLineListener& operator=(const DebugLineListener&) = delete;

 private:
  // The listener this one hides, back when it ends (where lines are caught).
  [[maybe_unused]] const Heard* outer_;
  // Who hears the lines when the listener ends (where they are read back).
  [[maybe_unused]] const Heard* heard_ = nullptr;
};
