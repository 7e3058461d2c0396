// TerminalInput: whole lines out of what the system's side has read.
#include "panelhost/os/terminal_input.h"

bool TerminalInput::next(std::string& line) {
  const size_t end = buffer_.find('\n');
  if (end == std::string::npos) return false;
  const bool crlf = end > 0 && buffer_[end - 1] == '\r';
  line = buffer_.substr(0, crlf ? end - 1 : end);
  buffer_.erase(0, end + 1);
  return true;
}

bool TerminalInput::rest(std::string& line) {
  if (buffer_.empty()) return false;
  line.swap(buffer_);
  buffer_.clear();
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}
