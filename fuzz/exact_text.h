// A fuzzer's bytes as a zero-terminated text in a heap block of exactly that
// size, so that AddressSanitizer sees any read past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

class ExactText {
 public:
  ExactText(const std::uint8_t* data, std::size_t size) : bytes_(new char[size + 1]) {
    if (size > 0) std::memcpy(bytes_.get(), data, size);
    bytes_[size] = '\0';
  }
  // The text; it ends at the first zero byte of the input, if there is one.
  const char* get() const { return bytes_.get(); }

 private:
  std::unique_ptr<char[]> bytes_;
};
