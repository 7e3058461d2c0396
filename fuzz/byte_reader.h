// Reads a fuzzer's input from the front as bytes, numbers and texts. Past
// the end every read gives zeros and empty texts, so that any input decodes
// and seed files can be written by hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool atEnd() const { return at_ >= size_; }

  std::uint8_t byte() { return atEnd() ? 0 : data_[at_++]; }

  // Four bytes, least significant first.
  std::int32_t number() {
    std::uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8) value |= static_cast<std::uint32_t>(byte()) << shift;
    return static_cast<std::int32_t>(value);
  }

  // A length byte, then that many bytes; a length byte of 255 is followed by
  // two more (least significant first) that add to it, for texts past the
  // inline size of the string library. Zero bytes are kept: whoever hands
  // the text on as a C text cuts it at the first one.
  std::string text() {
    std::size_t length = byte();
    if (length == 255) length += byte() + (static_cast<std::size_t>(byte()) << 8);
    const std::size_t available = atEnd() ? 0 : size_ - at_;
    if (length > available) length = available;
    std::string result(reinterpret_cast<const char*>(data_ + at_), length);
    at_ += length;
    return result;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};
