// Result: a value, or the one-line reason there is none. The one way the
// emulator and the host-side library report what they could not do.
//
//   Result<int> port = server.bind(8080);
//   if (!port) std::cerr << "panelhost: " << port.error() << '\n';
//   Result<> done = ...;          // no value: Done, or a reason
#pragma once

#include <string>
#include <utility>
#include <variant>

// Why something could not be done: one line, no trailing newline.
struct Failure {
  std::string reason;
};

inline Failure fail(std::string reason) { return Failure{std::move(reason)}; }

// What a Result<> holds when it succeeds.
using Done = std::monostate;

template <typename T = Done>
class [[nodiscard]] Result {
 public:
  Result(T value) : held_(std::move(value)) {}
  Result(Failure failure) : held_(std::move(failure)) {}

  explicit operator bool() const { return held_.index() == 0; }
  // The value; only when the result is good.
  T& operator*() { return std::get<0>(held_); }
  const T& operator*() const { return std::get<0>(held_); }
  T* operator->() { return &std::get<0>(held_); }
  const T* operator->() const { return &std::get<0>(held_); }
  // The reason; only when the result is bad.
  const std::string& error() const { return std::get<1>(held_).reason; }
  // The failure, to pass on as another Result's.
  Failure failure() const { return std::get<1>(held_); }

 private:
  std::variant<T, Failure> held_;
};
