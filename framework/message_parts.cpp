// message_parts: splitting a message text in place.
#include "framework/message_parts.h"

#include <cstddef>
#include <cstring>

#include "framework/empty_text.h"
#include "framework/internal/byte_scan.h"
#include "framework/internal/splitter_copy.h"

namespace {

// From this many bytes on, memchr, which reads many bytes per step, beats one
// loop over the bytes despite its call.
constexpr std::ptrdiff_t kLongStretch = 64;

// The first `c` in [from, end), or end.
char* find(char* from, char* end, char c) {
  char* const found = static_cast<char*>(std::memchr(from, c, static_cast<size_t>(end - from)));
  return found != nullptr ? found : end;
}

}  // namespace

message_parts::message_parts(const char* text)
    : command(vesk_emptyText), value(vesk_emptyText), subCount(0), hasValue(false), buffer(nullptr) {
  static_assert(sizeof sub == sizeof vesk_emptyEntries, "one empty text per sub-field");
  std::memcpy(sub, vesk_emptyEntries.data(), sizeof sub);
  std::size_t length = 0;
  char* const copy = splitterCopy(text, length);
  if (copy == nullptr) return;
  buffer = copy;
  command = copy;  // the name always starts the text, empty when it opens with '.' or '='

  char* const end = copy + length;
  std::int32_t count = 0;
  if (end - copy < kLongStretch) {
    // One pass over a short text, cutting at each '.' until the first '='.
    // The marks are looked for in the caller's text, not in the copy just
    // written, whose fresh bytes the processor may still be storing.
    const char* at = text;
    const char* const textEnd = text + length;
    while (count < kMaxSubs) {
      const char* const mark = findEither(at, textEnd, '.', '=');
      if (mark == textEnd) break;
      char* const cut = copy + (mark - text);
      *cut = '\0';
      if (*mark == '=') {
        hasValue = true;
        value = cut + 1;
        break;
      }
      at = mark + 1;
      sub[count++] = cut + 1;
    }
    subCount = count;
    return;
  }

  // A long text: only the first '=' counts and no sub-field follows it, so
  // the sub-fields are cut at the '.'s before it, each found by memchr.
  char* const equals = find(copy, end, '=');
  char* at = copy;
  while (count < kMaxSubs) {
    char* const dot = find(at, equals, '.');
    if (dot == equals) break;
    *dot = '\0';
    at = dot + 1;
    sub[count++] = at;
  }
  subCount = count;
  // Taking the 32nd sub-field ends the split: it keeps a later '=' as text.
  if (equals != end && count < kMaxSubs) {
    *equals = '\0';
    hasValue = true;
    value = equals + 1;
  }
}

message_parts::~message_parts() { delete[] buffer; }
