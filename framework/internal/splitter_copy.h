// splitterCopy: the one heap block a splitter owns, a copy of its input.
#pragma once

#include <cstddef>
#include <cstring>
#include <new>

// A new block of length + 1 bytes holding `text` and its zero, with the
// length stored in `length`; null for a null or empty text, or when the heap
// cannot supply the block (the splitter then gives the empty result). The
// caller frees it with delete[].
inline char* splitterCopy(const char* text, std::size_t& length) {
  if (text == nullptr) return nullptr;
  length = std::strlen(text);
  if (length == 0) return nullptr;
  char* const copy = new (std::nothrow) char[length + 1];
  if (copy != nullptr) std::memcpy(copy, text, length + 1);
  return copy;
}
