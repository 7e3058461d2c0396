// StopSignal: what a first and a second stop do, the same on every system.
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "panelhost/os/console_output.h"
#include "panelhost/os/stop_signal.h"

namespace {

struct StopState {
  std::mutex mutex;
  std::condition_variable asked;
  bool stop = false;
  bool bySignal = false;
  int status = 0;
  int count = 0;
  bool done = false;  // the StopSignal is gone: the process is ending
};

// Never destroyed: the signals' thread may use it while the process ends.
StopState& state() {
  static StopState* const stop = new StopState;
  return *stop;
}

// The second stop: the process ends now, whatever it was doing. The note
// goes out on a thread of its own, so a standard error nobody reads does
// not hold it up either.
[[noreturn]] void endAtOnce(int status) {
  auto written = std::make_shared<std::atomic<bool>>(false);
  std::thread([written] {
    const std::string note = "panelhost: stopped at once by a second Ctrl+C; the panel was not deleted\n";
    writeWhole(2, note.data(), note.size());
    *written = true;
  }).detach();
  for (int i = 0; i < 50 && !*written; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::_Exit(status);
}

}  // namespace

void StopSignal::received(int status) {
  StopState& stop = state();
  {
    std::lock_guard<std::mutex> lock(stop.mutex);
    if (++stop.count > 1 || stop.done) {
      const int code = stop.bySignal ? stop.status : status;
      // Unlocked by the process ending.
      endAtOnce(code == 0 ? status : code);
    }
    stop.stop = true;
    stop.bySignal = status != 0;
    stop.status = status;
  }
  stop.asked.notify_all();
  ConsoleOutput::stopWaiting();
}

bool StopSignal::asked() {
  std::lock_guard<std::mutex> lock(state().mutex);
  return state().stop;
}

void StopSignal::wait() {
  std::unique_lock<std::mutex> lock(state().mutex);
  state().asked.wait(lock, [] { return state().stop; });
}

int StopSignal::status() {
  std::lock_guard<std::mutex> lock(state().mutex);
  return state().status;
}

bool StopSignal::bySignal() {
  std::lock_guard<std::mutex> lock(state().mutex);
  return state().bySignal;
}

void StopSignal::stopNow() { received(0); }

void StopSignal::finished() {
  std::lock_guard<std::mutex> lock(state().mutex);
  state().done = true;
}
