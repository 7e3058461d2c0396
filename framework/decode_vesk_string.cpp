// decodeVESKString: tokenizing a host reply in place.
#include "framework/decode_vesk_string.h"

#include <cstring>

#include "framework/empty_text.h"
#include "framework/internal/splitter_copy.h"

decodeVESKString::decodeVESKString(const char* reply, char quoteChar)
    : count(0), buffer(nullptr), quote(quoteChar) {
  static_assert(sizeof tokens == sizeof vesk_emptyEntries, "one empty text per token");
  std::memcpy(tokens, vesk_emptyEntries.data(), sizeof tokens);
  std::size_t length = 0;
  char* const copy = splitterCopy(reply, length);
  if (copy == nullptr) return;
  buffer = copy;

  // One pass over the caller's reply, cutting the copy at the same places:
  // reading the copy just written could stall on its pending stores. The
  // state lives in locals, and a run of ordinary characters is skipped by a
  // loop that looks for nothing but its end (tokens are short: a word-wide
  // search costs more than it saves).
  tokens[0] = copy;  // token 0 begins at the first character, whatever it is
  std::int32_t begun = 1;
  bool quoted = false;
  bool afterCut = false;  // the previous character was replaced by a zero
  const char* const end = reply + length;
  const char* at = reply;
  while (at != end) {
    char* const out = copy + (at - reply);
    const char c = *at++;
    if (c == quote) {
      *out = '\0';
      // A quote closing an empty stretch begins an empty token at the zero
      // just written.
      const bool begins = quoted && afterCut;
      quoted = !quoted;
      afterCut = true;
      if (!begins) continue;
      if (begun == kMaxTokens) break;  // a 33rd token ends the scan
      tokens[begun++] = out;
      continue;
    }
    if (c == ' ' && !quoted) {
      *out = '\0';
      afterCut = true;
      continue;
    }
    if (afterCut) {
      if (begun == kMaxTokens) break;
      tokens[begun++] = out;
      afterCut = false;
    }
    if (quoted) {
      while (at != end && *at != quote) ++at;
    } else {
      while (at != end && *at != quote && *at != ' ') ++at;
    }
  }
  count = begun;
}

decodeVESKString::~decodeVESKString() { delete[] buffer; }
