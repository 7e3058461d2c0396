// message_parts: splitting a message text in place.
#include "framework/message_parts.h"

#include <cstring>
#include <new>

#include "framework/empty_text.h"

message_parts::message_parts(const char* text)
    : command(vesk_emptyText), value(vesk_emptyText), subCount(0), hasValue(false), buffer(nullptr) {
  for (const char*& entry : sub) entry = vesk_emptyText;
  if (text == nullptr) return;
  const size_t length = std::strlen(text);
  if (length == 0) return;
  buffer = new (std::nothrow) char[length + 1];
  if (buffer == nullptr) return;
  std::memcpy(buffer, text, length + 1);

  for (size_t i = 0; i < length && subCount < kMaxSubs; ++i) {
    const char c = buffer[i];
    if (c != '.' && c != '=') continue;
    if (command == vesk_emptyText) command = buffer;
    buffer[i] = '\0';
    if (c == '=') {
      hasValue = true;
      value = buffer + i + 1;
      break;
    }
    sub[subCount++] = buffer + i + 1;
  }
  if (command == vesk_emptyText) command = buffer;
}

message_parts::~message_parts() { delete[] buffer; }
