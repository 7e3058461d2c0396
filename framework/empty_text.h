// The one shared, static, empty text that splitters point unused entries at.
#pragma once

#include <array>

// Never written; every splitter entry that holds nothing points here, so a
// reader may read any entry without checking for null.
extern const char vesk_emptyText[1];

namespace vesk_empty_detail {
constexpr std::array<const char*, 32> allEmpty() {
  std::array<const char*, 32> entries{};
  for (const char*& entry : entries) entry = vesk_emptyText;
  return entries;
}
}  // namespace vesk_empty_detail

// A splitter's table of 32 entries before the split, every one the shared
// empty text: copied in as one block, which is cheaper than a loop of stores.
inline constexpr std::array<const char*, 32> vesk_emptyEntries = vesk_empty_detail::allEmpty();
