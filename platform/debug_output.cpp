// Debug output: OutputDebugStringA on Windows, a capturable stand-in elsewhere.
#include "platform/debug_output.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#endif

namespace {
vesk_debug_sink g_sink = nullptr;
void* g_context = nullptr;

#if !defined(_WIN32)
// The descriptor VESK_DEBUG_FD names, or -1 for standard error.
int debugDescriptor() {
  static const int fd = [] {
    const char* value = std::getenv("VESK_DEBUG_FD");
    if (value == nullptr || *value == '\0') return -1;
    char* end = nullptr;
    const long n = std::strtol(value, &end, 10);
    return (*end == '\0' && n > 2 && n < 65536) ? static_cast<int>(n) : -1;
  }();
  return fd;
}
#endif
}  // namespace

vesk_debug_sink vesk_set_debug_sink(vesk_debug_sink sink, void* context) {
  vesk_debug_sink previous = g_sink;
  g_sink = sink;
  g_context = context;
  return previous;
}

void vesk_debug_output(const char* text) {
  if (g_sink != nullptr) {
    g_sink(text, g_context);
    return;
  }
#if defined(_WIN32)
  OutputDebugStringA(text);
#else
  const int fd = debugDescriptor();
  if (fd < 0) {
    std::fprintf(stderr, "%s\n", text);
    return;
  }
  // One write per line, so that a reader never sees half of one; a line
  // longer than the stack buffer goes in two writes.
  char line[1024];
  const std::size_t length = std::strlen(text);
  if (length < sizeof line) {
    std::memcpy(line, text, length);
    line[length] = '\n';
    (void)!write(fd, line, length + 1);
  } else {
    (void)!write(fd, text, length);
    (void)!write(fd, "\n", 1);
  }
#endif
}
