// TerminalInput: whole lines out of what the system's side has read.
#include "panelhost/os/terminal_input.h"

bool TerminalInput::next(std::string& line) {
  for (;;) {
    const size_t end = buffer_.find('\n');
    if (end == std::string::npos) {
      // Input without a line end is kept up to the limit, then dropped as it comes.
      if (dropping_ || buffer_.size() > kMaxLineBytes) {
        if (!dropping_) ++dropped_;
        dropping_ = true;
        buffer_.clear();
      }
      return false;
    }
    if (dropping_ || end > kMaxLineBytes) {
      if (!dropping_) ++dropped_;
      dropping_ = false;
      buffer_.erase(0, end + 1);
      continue;
    }
    const bool crlf = end > 0 && buffer_[end - 1] == '\r';
    line = buffer_.substr(0, crlf ? end - 1 : end);
    buffer_.erase(0, end + 1);
    return true;
  }
}

bool TerminalInput::rest(std::string& line) {
  if (buffer_.size() > kMaxLineBytes && !dropping_) ++dropped_;
  if (buffer_.empty() || dropping_ || buffer_.size() > kMaxLineBytes) {
    buffer_.clear();
    dropping_ = false;
    return false;
  }
  line.swap(buffer_);
  buffer_.clear();
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

int TerminalInput::droppedLines() {
  const int dropped = dropped_;
  dropped_ = 0;
  return dropped;
}
