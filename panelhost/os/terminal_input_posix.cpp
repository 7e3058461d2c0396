// TerminalInput on POSIX systems: poll(2) and read(2) on standard input.
#include <poll.h>
#include <unistd.h>

#include "panelhost/os/terminal_input.h"

struct TerminalInput::Source {
  int fd = STDIN_FILENO;
  bool interactive = isatty(STDIN_FILENO) != 0;
};

TerminalInput::TerminalInput() : source_(std::make_unique<Source>()) {}
TerminalInput::~TerminalInput() = default;

bool TerminalInput::interactive() const { return source_->interactive; }

bool TerminalInput::fill(int timeoutMs) {
  pollfd p{source_->fd, POLLIN, 0};
  if (poll(&p, 1, timeoutMs) <= 0) return true;
  char chunk[4096];
  const ssize_t n = read(source_->fd, chunk, sizeof chunk);
  if (n <= 0) return false;
  buffer_.append(chunk, static_cast<size_t>(n));
  return true;
}

void sleepMs(int ms) { poll(nullptr, 0, ms); }
