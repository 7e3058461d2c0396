// GoogleTest's port customisation for MinGW's default (win32) thread model,
// whose C++ library has no std::mutex. GoogleTest's own locks and
// thread-locals use the Windows API there; only its Notification, which
// starts threads in GoogleTest's own tests, is built on std::mutex. It is
// given here on an atomic flag instead. Our tests start no threads.
#pragma once

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { notified_.store(true); }
  void WaitForNotification() {
    while (!notified_.load()) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing
