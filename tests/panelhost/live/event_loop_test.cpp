// The event loop: one thread for every task, in posting order, and ticks
// that fall due while nothing else happens.
#include "panelhost/live/event_loop.h"

#include <atomic>
#include <future>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// Long enough that only a broken loop makes a test wait this long.
constexpr auto kPatience = 10s;

TEST(EventLoop, TasksFromManyThreadsRunOnTheLoopThreadInPostingOrder) {
  constexpr int kPosters = 4;
  constexpr int kEach = 200;
  EventLoop loop;
  std::mutex postMutex;  // posting and numbering together fix the order
  int nextTicket = 0;
  std::vector<int> ran;  // touched by the loop thread only
  std::vector<std::thread::id> ranOn;
  std::vector<std::thread::id> posters(kPosters);

  std::vector<std::thread> threads;
  for (int p = 0; p < kPosters; ++p) {
    threads.emplace_back([&, p] {
      posters[p] = std::this_thread::get_id();
      for (int i = 0; i < kEach; ++i) {
        std::lock_guard<std::mutex> lock(postMutex);
        const int ticket = nextTicket++;
        ASSERT_TRUE(loop.post([&, ticket] {
          ran.push_back(ticket);
          ranOn.push_back(std::this_thread::get_id());
        }));
      }
    });
  }
  for (std::thread& t : threads) t.join();
  loop.call([] {});  // everything posted before has run

  ASSERT_EQ(ran.size(), static_cast<size_t>(kPosters * kEach));
  for (size_t i = 0; i < ran.size(); ++i) ASSERT_EQ(ran[i], static_cast<int>(i)) << "task " << i;
  const std::thread::id loopThread = loop.call([] { return std::this_thread::get_id(); });
  for (const std::thread::id id : ranOn) ASSERT_EQ(id, loopThread);
  for (const std::thread::id id : posters) EXPECT_NE(id, loopThread);
  EXPECT_NE(std::this_thread::get_id(), loopThread);
}

TEST(EventLoop, CallReturnsTheResultOrRethrows) {
  EventLoop loop;
  EXPECT_EQ(loop.call([&] { return loop.onLoopThread() ? 42 : -1; }), 42);
  EXPECT_FALSE(loop.onLoopThread());
  EXPECT_THROW(loop.call([]() -> int { throw std::runtime_error("panel gone"); }), std::runtime_error);
  // A call made on the loop thread runs at once instead of waiting for itself.
  EXPECT_EQ(loop.call([&] { return loop.call([] { return 7; }); }), 7);
}

TEST(EventLoop, QuitRunsWhatWasPostedAndRefusesTheRest) {
  EventLoop loop;
  std::atomic<int> ran{0};
  std::promise<void> gate;
  std::shared_future<void> opened = gate.get_future().share();
  loop.post([opened] { opened.wait(); });  // holds the loop while more queue up
  for (int i = 0; i < 3; ++i) loop.post([&] { ++ran; });
  std::thread quitter([&] { loop.quit(); });
  gate.set_value();
  quitter.join();
  EXPECT_EQ(ran.load(), 3);
  EXPECT_FALSE(loop.post([&] { ++ran; }));
  EXPECT_THROW(loop.call([] { return 1; }), std::future_error);
  EXPECT_EQ(ran.load(), 3);
  loop.quit();  // a second quit is harmless
}

// A clock source for the loop: one due time, set and read on the loop
// thread, and the ticks it caused.
struct Schedule {
  std::optional<EventLoop::Clock::time_point> due;
  std::vector<EventLoop::Clock::time_point> ticks;
  std::vector<std::thread::id> tickedOn;
  std::promise<void> ticked;
};

TEST(EventLoop, ADueTickFiresWhileNothingIsPosted) {
  Schedule schedule;
  const auto start = EventLoop::Clock::now();
  schedule.due = start + 30ms;
  EventLoop loop([&] { return schedule.due; },
                 [&] {
                   schedule.ticks.push_back(EventLoop::Clock::now());
                   schedule.tickedOn.push_back(std::this_thread::get_id());
                   schedule.due.reset();  // consumed
                   schedule.ticked.set_value();
                 });
  ASSERT_EQ(schedule.ticked.get_future().wait_for(kPatience), std::future_status::ready);
  loop.call([] {});
  ASSERT_EQ(schedule.ticks.size(), 1u);
  EXPECT_GE(schedule.ticks[0], start + 30ms) << "not before it was due";
  EXPECT_EQ(schedule.tickedOn[0], loop.call([] { return std::this_thread::get_id(); }));
}

TEST(EventLoop, ATaskThatSetsADueTimeWakesTheLoopThen) {
  Schedule schedule;
  EventLoop loop([&] { return schedule.due; },
                 [&] {
                   schedule.ticks.push_back(EventLoop::Clock::now());
                   schedule.due.reset();
                   schedule.ticked.set_value();
                 });
  std::future<void> ticked = schedule.ticked.get_future();
  // Idle with nothing due: the loop sleeps until a task comes.
  EXPECT_EQ(ticked.wait_for(50ms), std::future_status::timeout);
  const auto armed = loop.call([&] {
    schedule.due = EventLoop::Clock::now() + 20ms;
    return *schedule.due;
  });
  ASSERT_EQ(ticked.wait_for(kPatience), std::future_status::ready);
  loop.call([] {});
  ASSERT_EQ(schedule.ticks.size(), 1u);
  EXPECT_GE(schedule.ticks[0], armed);
}

TEST(EventLoop, TicksAlreadyDueRunBeforeWaitingTasks) {
  std::vector<std::string> order;  // loop thread only
  std::optional<EventLoop::Clock::time_point> due;
  EventLoop loop([&] { return due; },
                 [&] {
                   order.push_back("tick");
                   due.reset();
                 });
  std::promise<void> gate;
  std::shared_future<void> opened = gate.get_future().share();
  loop.post([&, opened] {
    opened.wait();
    due = EventLoop::Clock::now();  // due by the time this task ends
    order.push_back("first");
  });
  loop.post([&] { order.push_back("second"); });
  gate.set_value();
  loop.call([] {});
  EXPECT_EQ(order, (std::vector<std::string>{"first", "tick", "second"}));
}

}  // namespace
