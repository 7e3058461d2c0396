// StopSignal on POSIX systems: SIGINT and SIGTERM blocked and taken by sigwait.
#include "panelhost/os/stop_signal.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <csignal>

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
}

StopSignal::~StopSignal() = default;

void StopSignal::wait() {
  const sigset_t set = stopSignals();
  int received = 0;
  sigwait(&set, &received);
}

void StopSignal::stopNow() { kill(getpid(), SIGTERM); }
