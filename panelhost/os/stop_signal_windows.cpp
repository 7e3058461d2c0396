// StopSignal on Windows: the console's control events, taken by a handler
// that only wakes the waiting thread; the stopping itself happens there.
#include <windows.h>

#include "panelhost/os/stop_signal.h"

namespace {

// Set once a stop is asked for; never reset (one stop per process).
HANDLE stopAsked() {
  static const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  return event;
}

// Set once the StopSignal is destroyed, that is, once the stopping is done.
HANDLE stopDone() {
  static const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  return event;
}

// Runs on a thread the system starts for each event.
BOOL WINAPI onConsoleEvent(DWORD event) {
  SetEvent(stopAsked());
  // For these the process ends when the handler returns (or after 5 s at
  // most): wait for the panel to be deleted first.
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    WaitForSingleObject(stopDone(), 5000);
  }
  return TRUE;
}

}  // namespace

StopSignal::StopSignal() {
  stopAsked();
  stopDone();
  // A program started in a new process group has Ctrl+C ignored, which the
  // first call undoes (as the POSIX side restores SIGINT's default).
  SetConsoleCtrlHandler(nullptr, FALSE);
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopSignal::~StopSignal() { SetEvent(stopDone()); }

void StopSignal::wait() { WaitForSingleObject(stopAsked(), INFINITE); }

void StopSignal::stopNow() { SetEvent(stopAsked()); }
