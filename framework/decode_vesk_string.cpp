// decodeVESKString: tokenizing a host reply in place.
#include "framework/decode_vesk_string.h"

#include <cstring>
#include <new>

#include "framework/empty_text.h"

decodeVESKString::decodeVESKString(const char* reply, char quoteChar)
    : count(0), buffer(nullptr), quote(quoteChar) {
  for (const char*& entry : tokens) entry = vesk_emptyText;
  if (reply == nullptr) return;
  const size_t length = std::strlen(reply);
  if (length == 0) return;
  char* const copy = new (std::nothrow) char[length + 1];
  if (copy == nullptr) return;
  std::memcpy(copy, reply, length + 1);
  buffer = copy;

  // One pass. The state lives in locals rather than being read back from
  // the buffer, and a run of ordinary characters is skipped by a loop that
  // looks for nothing but its end.
  tokens[0] = copy;  // token 0 begins at the first character, whatever it is
  std::int32_t begun = 1;
  bool quoted = false;
  bool afterCut = false;  // the previous character was replaced by a zero
  char* const end = copy + length;
  char* at = copy;
  while (at != end) {
    const char c = *at;
    if (c == quote) {
      *at++ = '\0';
      // A quote closing an empty stretch begins an empty token at the zero
      // just written.
      const bool begins = quoted && afterCut;
      quoted = !quoted;
      afterCut = true;
      if (!begins) continue;
      if (begun == kMaxTokens) break;  // a 33rd token ends the scan
      tokens[begun++] = at - 1;
      continue;
    }
    if (c == ' ' && !quoted) {
      *at++ = '\0';
      afterCut = true;
      continue;
    }
    if (afterCut) {
      if (begun == kMaxTokens) break;
      tokens[begun++] = at;
      afterCut = false;
    }
    ++at;
    if (quoted) {
      while (at != end && *at != quote) ++at;
    } else {
      while (at != end && *at != quote && *at != ' ') ++at;
    }
  }
  count = begun;
}

decodeVESKString::~decodeVESKString() { delete[] buffer; }
