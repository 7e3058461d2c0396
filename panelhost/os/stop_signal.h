// StopSignal: Ctrl+C and kill, taken by one thread of their own rather than
// by whichever thread the system picks, in every mode. The first asks the
// run to stop: whoever runs the panel sees asked() (or wakes from wait()),
// deletes the panel on its own thread and ends with status(). A second one
// while that goes on ends the process at once, saying so on standard error.
// The console stops waiting at once (ConsoleOutput::stopWaiting), so that
// output nobody reads holds nothing up. The one place panelhost touches
// signals: sigwait(2) on POSIX; SetConsoleCtrlHandler on Windows, where
// Ctrl+C, Ctrl+Break and closing the console window stop it.
#pragma once

class StopSignal {
 public:
  // Call before any other thread starts: every thread started after
  // inherits the blocked signals. A write to a browser that went away no
  // longer ends the process either. One per process.
  StopSignal();
  // Destroy it once the stopping is done: on Windows, closing the console
  // window ends the process as soon as this object is gone. A Ctrl+C after
  // it is gone ends the process at once.
  ~StopSignal();
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;

  // Whether a stop was asked for: Ctrl+C, a kill, or stopNow().
  static bool asked();
  // Waits until a stop is asked for.
  static void wait();
  // The status a run stopped by Ctrl+C or a kill ends with: on POSIX 128
  // and the signal's number (130 for Ctrl+C, 143 for a kill); on Windows
  // STATUS_CONTROL_C_EXIT (0xC000013A, -1073741510 as a signed number), what
  // a console program Ctrl+C ends shows. Nothing when no signal stopped it
  // (not asked, or stopNow()).
  static int status();
  static bool bySignal();

  // Asks for the stop from any thread, as a kill would, but for the
  // program's own reasons (status() stays unset).
  static void stopNow();

  // The system's side calls this for each signal, with status() to give.
  static void received(int status);

 private:
  // From the destructor: a stop from now on ends the process at once.
  static void finished();
};
