// StopSignal on POSIX systems: SIGINT and SIGTERM blocked in every thread
// and taken by sigwait on a thread of their own.
#include <pthread.h>
#include <signal.h>

#include <csignal>
#include <thread>

#include "panelhost/os/stop_signal.h"

namespace {

sigset_t stopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

StopSignal::StopSignal() {
  const sigset_t set = stopSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  // A shell starts background jobs with SIGINT ignored, which would discard
  // it before sigwait sees it, hence the default.
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGPIPE, SIG_IGN);
  // Left to end with the process: it only ever waits for the next signal.
  std::thread([] {
    const sigset_t waited = stopSignals();
    for (;;) {
      int received = 0;
      if (sigwait(&waited, &received) == 0) StopSignal::received(128 + received);
    }
  }).detach();
}

StopSignal::~StopSignal() { finished(); }
