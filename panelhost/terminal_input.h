// TerminalInput: lines typed at standard input, read without blocking past a
// deadline, so the shell can deliver timer ticks while the operator thinks.
// The one place the shell touches the operating system's input (poll(2)
// and read(2) on POSIX).
#pragma once

#include <string>

class TerminalInput {
 public:
  // Standard input; interactive() says whether a person types at it.
  TerminalInput();
  bool interactive() const { return interactive_; }

  // Waits up to `timeoutMs` (-1: for ever) for input; false at end of input.
  bool fill(int timeoutMs);
  // The next whole line, if one has come.
  bool next(std::string& line);
  // What is left after the input ended without a final newline.
  bool rest(std::string& line);

 private:
  int fd_;
  bool interactive_;
  std::string buffer_;
};

// Sleeps `ms` milliseconds.
void sleepMs(int ms);
