// StopSignal on POSIX systems: SIGINT and SIGTERM blocked in every thread
// and taken by sigwait on a thread of their own, which SIGUSR1 ends when
// the StopSignal goes.
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
  sigaddset(&set, SIGUSR1);
  return set;
}

std::thread& waiter() {
  static std::thread thread;
  return thread;
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
  waiter() = std::thread([] {
    const sigset_t waited = stopSignals();
    for (;;) {
      int received = 0;
      if (sigwait(&waited, &received) != 0) continue;
      if (received == SIGUSR1) return;
      StopSignal::received(128 + received);
    }
  });
}

StopSignal::~StopSignal() {
  finished();
  if (waiter().joinable()) {
    pthread_kill(waiter().native_handle(), SIGUSR1);
    waiter().join();
  }
}
