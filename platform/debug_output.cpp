// Debug output: OutputDebugStringA on Windows, a capturable stand-in elsewhere.
#include "platform/debug_output.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <cstdio>
#endif

namespace {
vesk_debug_sink g_sink = nullptr;
void* g_context = nullptr;
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
  std::fprintf(stderr, "%s\n", text);
#endif
}
