// EventLoop: one thread that runs posted tasks one at a time, in the order
// they were posted, and calls a tick whenever the clock reaches the time its
// owner says something falls due.
//
// The panel host calls into a plug-in from one thread only; front ends on
// other threads (the web mode's server) post the work here and have the
// result handed back, or wait for it, instead of calling the plug-in
// themselves.
//
//   EventLoop loop([&] { return agendaDue(); }, [&] { deliverDue(); });
//   loop.post([&] { session.press("1", "Mon_2", "button=pressed"); });
//   std::optional<std::string> answer = loop.call([&] { return session.property("return=all"); });
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>

class EventLoop {
 public:
  using Clock = std::chrono::steady_clock;
  using Task = std::function<void()>;
  // When the tick is next due; nothing: only a task wakes the loop.
  using Due = std::function<std::optional<Clock::time_point>()>;

  // A loop that only runs tasks.
  EventLoop() : EventLoop(Due{}, Task{}) {}
  // `due` and `tick` are called on the loop thread only: `due` after every
  // task and tick (a task may have changed it), `tick` once `due` has come.
  // A tick must consume what was due, or the loop calls it again at once.
  EventLoop(Due due, Task tick);
  // Runs the tasks already posted, then ends the thread (see quit()).
  ~EventLoop();
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  // Queues `task` to run on the loop thread after every task posted before
  // it. False (and the task is dropped) once the loop has quit. A posted
  // task must not throw: nothing could catch it (call() can).
  bool post(Task task);

  // Runs `f` on the loop thread and returns its result, or rethrows what it
  // threw; the caller waits meanwhile. Called on the loop thread itself, it
  // runs `f` at once (waiting would never end). After quit() it throws
  // std::future_error (broken_promise).
  template <typename F>
  auto call(F f) -> std::invoke_result_t<F> {
    using Result = std::invoke_result_t<F>;
    if (onLoopThread()) return f();
    auto job = std::make_shared<std::packaged_task<Result()>>(std::move(f));
    std::future<Result> result = job->get_future();
    if (!post([job] { (*job)(); })) throw std::future_error(std::future_errc::broken_promise);
    return result.get();
  }

  // Stops taking tasks, runs those already posted, and joins the thread.
  // No tick runs after the queue is empty. Safe to call more than once; not
  // from the loop thread.
  void quit();

  bool onLoopThread() const { return std::this_thread::get_id() == thread_.get_id(); }

 private:
  void run();

  Due due_;
  Task tick_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Task> tasks_;
  bool quitting_ = false;
  std::thread thread_;  // last: starts once everything above is ready
};
