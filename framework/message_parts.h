// message_parts: a message text split in place into a command name, up to 32
// sub-fields and a value.
//
// A message is a name, then any number of sub-fields each introduced by '.',
// then optionally a value introduced by '='. The host splits every control
// message into one of these and hands it inside a control_record, so the
// field order and widths below are part of the binary boundary.
//
// Examples (command | sub[0..subCount) | value, hasValue):
//   "button.001=released" -> "button" | "001"       | "released", 1
//   "_events"             -> "_events" |            | "", 0
//   "a=b=c"               -> "a"      |             | "b=c", 1   only the first '=' counts
//   "a.b.c=d.e"           -> "a"      | "b", "c"    | "d.e", 1   no sub-field after '='
//   "a..b"                -> "a"      | "", "b"     | "", 0
//   "a."                  -> "a"      | ""          | "", 0
//   ".a"                  -> ""       | "a"         | "", 0
//   "=5"                  -> ""       |             | "5", 1
//   null or ""            -> ""       |             | "", 0      buffer null
// At most 32 sub-fields: the scan stops once the 32nd is taken, so with 32 or
// more '.' before the first '=' the 32nd sub-field runs to the end of the
// text ("n.1. ... .32=v" gives sub[31] "32=v", hasValue 0, value "").
#pragma once

#include <cstdint>

class message_parts {
 public:
  static constexpr int kMaxSubs = 32;

  // Splits `text` (may be null; need not outlive the construction). One heap
  // block at the most: the copy in `buffer`. If the heap cannot supply it the
  // result is that of the empty text.
  explicit message_parts(const char* text);
  // Frees `buffer`; every pointer taken from this record dies with it.
  ~message_parts();
  // Never copied: the pointers would lead into another record's buffer.
  message_parts(const message_parts&) = delete;
  message_parts& operator=(const message_parts&) = delete;

  // Every text pointer is readable and never null: an entry the split did not
  // set points at the shared empty text, also sub[k] for k >= subCount.
  const char* command;      // text before the first '.' or '='
  const char* sub[kMaxSubs];
  const char* value;        // everything after the first '='
  std::int32_t subCount;    // 0 to 32
  bool hasValue;            // the split reached a '='
  char* buffer;             // owned copy, split in place; null for null or ""
};
