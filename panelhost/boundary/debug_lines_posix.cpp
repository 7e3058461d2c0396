// DebugLineListener on POSIX systems: the plug-in writes its debug lines to
// standard error itself, or, once traceThePlugin() ran, to a file of ours
// that each listener reads back when it ends.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "panelhost/boundary/debug_lines.h"

namespace {
// The file the plug-in's stand-in writes to (VESK_DEBUG_FD); -1 before
// traceThePlugin().
int g_debugFile = -1;
}  // namespace

void traceThePlugin() {
  setenv("VESK_TRACE", "1", 1);
  if (g_debugFile >= 0) return;
  // Kept open for the process's life; unlinked already, so nothing is left behind.
  std::FILE* file = std::tmpfile();
  if (file == nullptr) return;  // the lines stay on standard error
  g_debugFile = fileno(file);
  setenv("VESK_DEBUG_FD", std::to_string(g_debugFile).c_str(), 1);
}

DebugLineListener::DebugLineListener(const Heard& heard) : outer_(nullptr), heard_(&heard) {}

DebugLineListener::~DebugLineListener() {
  if (g_debugFile < 0) return;
  std::string written;
  char buffer[4096];
  for (off_t at = 0;;) {
    const ssize_t got = pread(g_debugFile, buffer, sizeof buffer, at);
    if (got <= 0) break;
    written.append(buffer, static_cast<std::size_t>(got));
    at += got;
  }
  if (written.empty()) return;
  // The stand-in and this file share one offset: both go back to the start.
  (void)!ftruncate(g_debugFile, 0);
  lseek(g_debugFile, 0, SEEK_SET);
  if (heard_ == nullptr || !*heard_) return;
  std::size_t from = 0;
  while (from < written.size()) {
    std::size_t end = written.find('\n', from);
    if (end == std::string::npos) end = written.size();
    (*heard_)(written.substr(from, end - from));
    from = end + 1;
  }
}
