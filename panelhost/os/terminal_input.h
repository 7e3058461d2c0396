// TerminalInput: lines typed at standard input, read without blocking past a
// deadline, so the shell can deliver timer ticks while the operator thinks.
// The one place the shell touches the operating system's input: poll(2) and
// read(2) on POSIX; on Windows a thread that reads the console as UTF-16
// (ReadConsoleW, converted to UTF-8) or a pipe or file as bytes (ReadFile).
// A line may end in "\n" or "\r\n"; either way it comes without its ending.
// A line longer than kMaxLineBytes is never kept whole: it is dropped up to
// its end as it comes, and counted for the shell to say so.
#pragma once

#include <memory>
#include <string>

class TerminalInput {
 public:
  // Far longer than any step typed or pasted.
  static constexpr size_t kMaxLineBytes = 64 * 1024;

  // Standard input; interactive() says whether a person types at it.
  TerminalInput();
  ~TerminalInput();
  TerminalInput(const TerminalInput&) = delete;
  TerminalInput& operator=(const TerminalInput&) = delete;
  bool interactive() const;

  // Waits up to `timeoutMs` (-1: for ever) for input; false at end of input.
  bool fill(int timeoutMs);
  // The next whole line, if one has come.
  bool next(std::string& line);
  // What is left after the input ended without a final newline.
  bool rest(std::string& line);
  // How many lines longer than kMaxLineBytes were dropped since the last
  // call.
  int droppedLines();

 private:
  struct Source;  // the system's side: one definition per system
  std::unique_ptr<Source> source_;
  std::string buffer_;
  bool dropping_ = false;  // in a line too long, dropped up to its end
  int dropped_ = 0;
};

// Sleeps `ms` milliseconds.
void sleepMs(int ms);
