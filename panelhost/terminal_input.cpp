// TerminalInput on POSIX: poll(2) and read(2) on standard input.
#include "panelhost/terminal_input.h"

#include <poll.h>
#include <unistd.h>

TerminalInput::TerminalInput() : fd_(STDIN_FILENO), interactive_(isatty(STDIN_FILENO) != 0) {}

bool TerminalInput::fill(int timeoutMs) {
  pollfd p{fd_, POLLIN, 0};
  if (poll(&p, 1, timeoutMs) <= 0) return true;
  char chunk[4096];
  const ssize_t n = read(fd_, chunk, sizeof chunk);
  if (n <= 0) return false;
  buffer_.append(chunk, static_cast<size_t>(n));
  return true;
}

bool TerminalInput::next(std::string& line) {
  const size_t end = buffer_.find('\n');
  if (end == std::string::npos) return false;
  line = buffer_.substr(0, end);
  buffer_.erase(0, end + 1);
  return true;
}

bool TerminalInput::rest(std::string& line) {
  if (buffer_.empty()) return false;
  line.swap(buffer_);
  buffer_.clear();
  return true;
}

void sleepMs(int ms) { poll(nullptr, 0, ms); }
