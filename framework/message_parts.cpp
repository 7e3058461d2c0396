// message_parts: splitting a message text in place.
#include "framework/message_parts.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "framework/empty_text.h"

namespace {

// From this many bytes on, memchr, which reads many bytes per step, beats one
// loop over the bytes despite its call.
constexpr std::ptrdiff_t kLongStretch = 64;

// The first `c` in [from, end), or end.
char* find(char* from, char* end, char c) {
  if (end - from >= kLongStretch) {
    char* const found = static_cast<char*>(std::memchr(from, c, static_cast<size_t>(end - from)));
    return found != nullptr ? found : end;
  }
  while (from != end && *from != c) ++from;
  return from;
}

}  // namespace

message_parts::message_parts(const char* text)
    : command(vesk_emptyText), value(vesk_emptyText), subCount(0), hasValue(false), buffer(nullptr) {
  for (const char*& entry : sub) entry = vesk_emptyText;
  if (text == nullptr) return;
  const size_t length = std::strlen(text);
  if (length == 0) return;
  char* const copy = new (std::nothrow) char[length + 1];
  if (copy == nullptr) return;
  std::memcpy(copy, text, length + 1);
  buffer = copy;
  command = copy;  // the name always starts the text, empty when it opens with '.' or '='

  // Only the first '=' counts and no sub-field follows it, so the sub-fields
  // are cut at the '.'s before it: each byte is looked at once for '=' and
  // at most once for '.'.
  char* const end = copy + length;
  char* const equals = find(copy, end, '=');
  char* at = copy;
  std::int32_t count = 0;
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
