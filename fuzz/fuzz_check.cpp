// The fuzzers' failure report and the splitter entry check.
#include "fuzz/fuzz_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/empty_text.h"

void fuzzFailure(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
  std::abort();
}

bool entryInside(const char* entry, const char* buffer, std::size_t length) {
  if (entry == vesk_emptyText) return true;
  if (buffer == nullptr || entry == nullptr) return false;
  // Compared as addresses: `entry` may belong to no object at all.
  const auto at = reinterpret_cast<std::uintptr_t>(entry);
  const auto first = reinterpret_cast<std::uintptr_t>(buffer);
  if (at < first || at > first + length) return false;
  return std::memchr(entry, '\0', first + length + 1 - at) != nullptr;
}
