// ConsoleOutput: whole lines out of std::cout and std::cerr, standard
// output's through a bounded queue and a writer thread.
#include "panelhost/os/console_output.h"

#include <condition_variable>
#include <deque>
#include <iostream>
#include <map>
#include <mutex>
#include <streambuf>
#include <string>
#include <thread>

struct ConsoleOutput::Shared {
  static constexpr std::size_t kStopRoom = 64 * 1024;

  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::string> queue;  // standard output's lines, oldest first
  std::size_t bytes = 0;          // in `queue`
  std::size_t dropped = 0;        // lines dropped since the last note
  bool neverWait = false;
  bool stopping = false;
  bool ending = false;
  bool writing = false;  // the writer holds a line it has not finished

  // Queues a line (or a flushed part of one) of standard output.
  void push(std::string text) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return bytes < kQueueLimit || neverWait || stopping; });
    // Once stopping, the last lines (the panel's deletion) still fit.
    if (bytes >= (stopping ? kQueueLimit + kStopRoom : kQueueLimit)) {
      ++dropped;
      return;
    }
    if (dropped != 0) {
      // Where the gap is, once the console takes lines again.
      std::string note = "panelhost: " + std::to_string(dropped) +
                         (dropped == 1 ? " line" : " lines") + " of output dropped: the console was not taking them\n";
      bytes += note.size();
      queue.push_back(std::move(note));
      dropped = 0;
    }
    bytes += text.size();
    queue.push_back(std::move(text));
    lock.unlock();
    changed.notify_all();
  }

  // Until what was queued is written, where output waits for the console.
  void flushWait() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return (queue.empty() && !writing) || neverWait || stopping; });
  }

  // The writer thread: one line at a time, each in one write.
  void run() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
      changed.wait(lock, [&] { return !queue.empty() || ending; });
      if (queue.empty()) break;
      std::string line = std::move(queue.front());
      queue.pop_front();
      writing = true;
      lock.unlock();
      writeWhole(1, line.data(), line.size());
      lock.lock();
      writing = false;
      bytes -= line.size();
      changed.notify_all();
    }
    if (dropped != 0) {
      const std::string note =
          "panelhost: " + std::to_string(dropped) + " more lines of output dropped: the console was not taking them\n";
      lock.unlock();
      writeWhole(1, note.data(), note.size());
    }
  }
};

namespace {

// A stream buffer without a put area: every character reaches it, and each
// thread's text is held until its line ends. `whole` gets each line (or a
// flushed part of one) under no lock of this buffer's; `flushed` runs after
// a flush has handed over what was held.
class LineBuffer : public std::streambuf {
 public:
  using Whole = void (*)(ConsoleOutput::Shared&, std::string);
  using Flushed = void (*)(ConsoleOutput::Shared&);
  LineBuffer(ConsoleOutput::Shared& shared, Whole whole, Flushed flushed)
      : shared_(shared), whole_(whole), flushed_(flushed) {}

  // What every thread still holds, handed over.
  void handOverAll() {
    std::map<std::thread::id, std::string> held;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      held.swap(held_);
    }
    for (auto& [thread, text] : held) {
      if (!text.empty()) whole_(shared_, std::move(text));
    }
  }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char ch = traits_type::to_char_type(c);
    xsputn(&ch, 1);
    return c;
  }

  std::streamsize xsputn(const char* s, std::streamsize n) override {
    std::string lines;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      std::string& held = held_[std::this_thread::get_id()];
      held.append(s, static_cast<std::size_t>(n));
      const std::size_t end = held.rfind('\n');
      if (end != std::string::npos) {
        lines = held.substr(0, end + 1);
        held.erase(0, end + 1);
      }
    }
    // Each line whole, in its own write.
    for (std::size_t at = 0; at < lines.size();) {
      const std::size_t end = lines.find('\n', at) + 1;
      whole_(shared_, lines.substr(at, end - at));
      at = end;
    }
    return n;
  }

  int sync() override {
    std::string text;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      const auto it = held_.find(std::this_thread::get_id());
      if (it != held_.end()) {
        text.swap(it->second);
        held_.erase(it);
      }
    }
    if (!text.empty()) whole_(shared_, std::move(text));
    if (flushed_ != nullptr) flushed_(shared_);
    return 0;
  }

 private:
  ConsoleOutput::Shared& shared_;
  Whole whole_;
  Flushed flushed_;
  std::mutex mutex_;
  std::map<std::thread::id, std::string> held_;
};

std::mutex errorMutex;

void queueOutput(ConsoleOutput::Shared& shared, std::string text) { shared.push(std::move(text)); }
void waitOutput(ConsoleOutput::Shared& shared) { shared.flushWait(); }
void writeError(ConsoleOutput::Shared& shared, std::string text) {
  shared.flushWait();  // what standard output holds comes first, where it waits
  std::lock_guard<std::mutex> lock(errorMutex);
  writeWhole(2, text.data(), text.size());
}

// The process's one ConsoleOutput: its queue, its buffers and its writer.
struct Installed {
  std::shared_ptr<ConsoleOutput::Shared> shared;
  std::unique_ptr<LineBuffer> out;
  std::unique_ptr<LineBuffer> error;
  std::streambuf* oldOut = nullptr;
  std::streambuf* oldError = nullptr;
  std::thread writer;
};
std::mutex installedMutex;
Installed* installed = nullptr;

}  // namespace

ConsoleOutput::ConsoleOutput() : shared_(std::make_shared<Shared>()) {
  auto state = std::make_unique<Installed>();
  state->shared = shared_;
  state->out = std::make_unique<LineBuffer>(*shared_, queueOutput, waitOutput);
  state->error = std::make_unique<LineBuffer>(*shared_, writeError, nullptr);
  std::cout.flush();
  std::cerr.flush();
  state->oldOut = std::cout.rdbuf(state->out.get());
  state->oldError = std::cerr.rdbuf(state->error.get());
  // The thread holds the queue too: it may outlive this object (see below).
  state->writer = std::thread([shared = shared_] { shared->run(); });
  std::lock_guard<std::mutex> lock(installedMutex);
  installed = state.release();
}

ConsoleOutput::~ConsoleOutput() {
  std::unique_ptr<Installed> state;
  {
    std::lock_guard<std::mutex> lock(installedMutex);
    state.reset(installed);
    installed = nullptr;
  }
  state->out->handOverAll();
  state->error->handOverAll();
  std::cout.rdbuf(state->oldOut);
  std::cerr.rdbuf(state->oldError);
  bool bounded = false;
  {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->ending = true;
    bounded = shared_->neverWait || shared_->stopping;
    shared_->changed.notify_all();
    if (bounded) {
      shared_->changed.wait_for(lock, kLastWait, [&] { return shared_->queue.empty() && !shared_->writing; });
    }
  }
  // A console that takes nothing keeps the writer in its write: it is left
  // to end with the process, holding only the queue.
  if (bounded) {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    if (!shared_->queue.empty() || shared_->writing) {
      lock.unlock();
      state->writer.detach();
      return;
    }
  }
  state->writer.join();
}

namespace {

template <typename F>
void withShared(F f) {
  std::shared_ptr<ConsoleOutput::Shared> shared;
  {
    std::lock_guard<std::mutex> lock(installedMutex);
    if (installed != nullptr) shared = installed->shared;
  }
  if (!shared) return;
  {
    std::lock_guard<std::mutex> lock(shared->mutex);
    f(*shared);
  }
  shared->changed.notify_all();
}

}  // namespace

void ConsoleOutput::neverWait() {
  withShared([](Shared& shared) { shared.neverWait = true; });
}

void ConsoleOutput::stopWaiting() {
  withShared([](Shared& shared) { shared.stopping = true; });
}
