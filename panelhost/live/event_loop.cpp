// EventLoop: the loop thread, its task queue and its wake-ups.
#include "panelhost/live/event_loop.h"

EventLoop::EventLoop(Due due, Task tick)
    : due_(std::move(due)), tick_(std::move(tick)), thread_([this] { run(); }) {}

EventLoop::~EventLoop() { quit(); }

bool EventLoop::post(Task task) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (quitting_) return false;
    tasks_.push_back(std::move(task));
  }
  wake_.notify_one();
  return true;
}

void EventLoop::quit() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quitting_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void EventLoop::run() {
  for (;;) {
    // Asked afresh each time round: the last task or tick may have moved it.
    const std::optional<Clock::time_point> due = due_ && tick_ ? due_() : std::nullopt;
    Task task;
    bool tick = false;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      const auto ready = [this] { return !tasks_.empty() || quitting_; };
      if (due) {
        wake_.wait_until(lock, *due, ready);
      } else {
        wake_.wait(lock, ready);
      }
      if (quitting_) {
        if (tasks_.empty()) return;
      } else if (due && Clock::now() >= *due) {
        // What fell due came first in real time; tasks wait their turn.
        tick = true;
      }
      if (!tick && !tasks_.empty()) {
        task = std::move(tasks_.front());
        tasks_.pop_front();
      }
    }
    if (tick) {
      tick_();
    } else if (task) {
      task();
    }
  }
}
