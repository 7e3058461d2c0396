// DebugLineListener: the plug-in's own debug output, caught as it is
// written, for the session's log, as a debug-output viewer shows it. The one
// place panelhost touches the system's debug output.
//
// On Windows a vectored exception handler sees each OutputDebugStringA line
// on the thread that writes it, before the system passes it on to a
// debug-output viewer, which still gets it. With a debugger attached, the
// debugger takes each line first and none is caught here. Elsewhere the
// plug-in's stand-in writes its lines to standard error itself, and nothing
// is caught.
#pragma once

#include <functional>
#include <string>

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
};
