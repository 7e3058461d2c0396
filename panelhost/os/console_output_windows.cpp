// ConsoleOutput on Windows: a console is written as UTF-16 with
// WriteConsoleW, a line at a time, so it never sees half a character; a
// pipe or file gets the UTF-8 bytes in one WriteFile, each "\n" written as
// "\r\n" as the C runtime's text mode did.
#include <windows.h>

#include <string>

#include "panelhost/os/console_output.h"
#include "panelhost/os/windows_text.h"

bool writeWhole(int stream, const char* text, std::size_t size) {
  const HANDLE handle = GetStdHandle(stream == 2 ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  std::string bytes;
  bytes.reserve(size + size / 16);
  for (std::size_t i = 0; i < size; ++i) {
    if (text[i] == '\n') bytes += '\r';
    bytes += text[i];
  }
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    const std::wstring wide = widen(bytes);
    DWORD written = 0;
    return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != 0;
  }
  const char* at = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    DWORD written = 0;
    if (!WriteFile(handle, at, static_cast<DWORD>(left), &written, nullptr) || written == 0) return false;
    at += written;
    left -= written;
  }
  return true;
}
