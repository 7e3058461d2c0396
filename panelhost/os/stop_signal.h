// StopSignal: Ctrl+C and kill, taken by one waiting thread rather than by
// whichever thread the system picks. The one place `panelhost web` touches
// signals: sigwait(2) on POSIX; SetConsoleCtrlHandler on Windows, where
// Ctrl+C, Ctrl+Break and closing the console window stop it.
#pragma once

class StopSignal {
 public:
  // Call before any other thread starts: every thread started after
  // inherits the blocked signals. A write to a browser that went away no
  // longer ends the process either.
  StopSignal();
  // Destroy it once the stopping is done: on Windows, closing the console
  // window ends the process as soon as this object is gone.
  ~StopSignal();
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;
  // Waits for Ctrl+C, a kill, or stopNow().
  void wait();
  // Ends wait() from any thread, as a kill would.
  static void stopNow();
};
