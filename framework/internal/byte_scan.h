// findEither: the first of two byte values in a stretch of text, looked for a
// machine word at a time; the splitters' inner loop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// The first byte in [from, end) equal to `a` or `b`, or `end`. Reads only
// bytes inside the range.
inline const char* findEither(const char* from, const char* end, char a, char b) {
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  using Word = std::uintptr_t;
  constexpr Word kOnes = ~Word{0} / 0xFF;  // 0x0101...
  constexpr Word kHighs = kOnes << 7;      // 0x8080...
  const Word wantA = kOnes * static_cast<unsigned char>(a);
  const Word wantB = kOnes * static_cast<unsigned char>(b);
  while (static_cast<std::size_t>(end - from) >= sizeof(Word)) {
    Word word;
    std::memcpy(&word, from, sizeof word);
    // A byte of `offA` (`offB`) is zero where the text holds `a` (`b`); the
    // classic test flags zero bytes, and its lowest flag is always a true
    // one (a borrow only runs towards higher bytes, which come later).
    const Word offA = word ^ wantA;
    const Word offB = word ^ wantB;
    const Word flags = (((offA - kOnes) & ~offA) | ((offB - kOnes) & ~offB)) & kHighs;
    if (flags != 0) return from + __builtin_ctzll(static_cast<unsigned long long>(flags)) / 8;
    from += sizeof(Word);
  }
#endif
  while (from != end && *from != a && *from != b) ++from;
  return from;
}
