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
  buffer = new (std::nothrow) char[length + 1];
  if (buffer == nullptr) return;
  std::memcpy(buffer, reply, length + 1);

  int last = 0;  // number of the token begun last
  tokens[0] = buffer;
  bool quoted = false;
  for (size_t i = 0; i < length; ++i) {
    const char c = buffer[i];
    bool begins = false;
    if (c == quote) {
      buffer[i] = '\0';
      // A closing quote right after the opening one: an empty token begins
      // at the zero just written.
      begins = quoted && i > 0 && buffer[i - 1] == '\0';
      quoted = !quoted;
    } else if (c == ' ' && !quoted) {
      buffer[i] = '\0';
    } else {
      begins = i > 0 && buffer[i - 1] == '\0';
    }
    if (!begins) continue;
    if (last == kMaxTokens - 1) break;
    tokens[++last] = buffer + i;
  }
  count = last + 1;
}

decodeVESKString::~decodeVESKString() { delete[] buffer; }
