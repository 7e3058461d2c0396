// StopSignal on Windows: the console's control events, taken by a handler
// on the thread the system starts for each; it only asks for the stop, and
// the stopping itself happens where the panel runs.
#include <windows.h>

#include "panelhost/os/stop_signal.h"

namespace {

// What a console program ended by Ctrl+C shows as its exit code.
constexpr int kControlCExit = static_cast<int>(0xC000013AUL);

// Set once the StopSignal is destroyed, that is, once the stopping is done.
HANDLE stopDone() {
  static const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  return event;
}

BOOL WINAPI onConsoleEvent(DWORD event) {
  const bool closing = event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
  // A second Ctrl+C ends the process inside this call; closing the window
  // asks only once, whatever came before.
  if (!closing || !StopSignal::asked()) StopSignal::received(kControlCExit);
  // For these the process ends when the handler returns (or after 5 s at
  // most): wait for the panel to be deleted first.
  if (closing) WaitForSingleObject(stopDone(), 5000);
  return TRUE;
}

}  // namespace

StopSignal::StopSignal() {
  stopDone();
  // A program started in a new process group has Ctrl+C ignored, which the
  // first call undoes (as the POSIX side restores SIGINT's default).
  SetConsoleCtrlHandler(nullptr, FALSE);
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopSignal::~StopSignal() {
  finished();
  SetEvent(stopDone());
}
