// StopSignal: Ctrl+C and kill, taken by one waiting thread rather than by
// whichever thread the system picks. The one place `panelhost web` touches
// signals (sigwait(2) on POSIX).
#pragma once

class StopSignal {
 public:
  // Call before any other thread starts: every thread started after
  // inherits the blocked signals. A write to a browser that went away no
  // longer ends the process either.
  StopSignal();
  // Waits for Ctrl+C, a kill, or stopNow().
  void wait();
  // Ends wait() from any thread, as a kill would.
  static void stopNow();
};
