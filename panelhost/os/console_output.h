// ConsoleOutput: standard output and standard error written a whole line at
// a time, so a console never shows a character split across two writes, and
// standard output written from a thread of its own, so that a console nobody
// reads (paused, selecting text, a pipe not drained) holds up only that
// thread. The one place panelhost writes to the console: write(2) on POSIX;
// on Windows WriteConsoleW for a console, else one WriteFile per line with
// the C runtime's line endings (CR LF), so piped output is byte for byte
// what std::cout in text mode gave.
//
// While it lives, std::cout and std::cerr write through it, from any thread:
// each thread's text is held until its line ends (or it flushes), then
// queued whole. Standard output's queue holds at most kQueueLimit bytes;
// what happens when it is full is the mode's choice:
//   - waitWhenFull (the default, for `run` and `soak`): the writer waits for
//     the console, as any command-line tool's output does, and a flush waits
//     until everything before it is written;
//   - neverWait() (the live modes): nothing waits; lines that do not fit are
//     dropped, and one note says how many when the console takes lines again.
// stopWaiting() (on Ctrl+C) ends every wait at once whatever the mode, so the
// panel can be deleted even while the console takes nothing.
// Standard error is written at once by the thread that writes it, each line
// whole; a write to it first waits for standard output where that waits.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>

class ConsoleOutput {
 public:
  static constexpr std::size_t kQueueLimit = 1024 * 1024;

  // Takes over std::cout and std::cerr until destroyed; one at a time.
  ConsoleOutput();
  // Gives std::cout and std::cerr back, then writes what is queued: waiting
  // as long as the console takes, unless neverWait() or stopWaiting() was
  // called, when kLastWait at most (what the console has not taken by then
  // is lost with the process).
  ~ConsoleOutput();
  ConsoleOutput(const ConsoleOutput&) = delete;
  ConsoleOutput& operator=(const ConsoleOutput&) = delete;

  static constexpr std::chrono::seconds kLastWait{2};

  // For the process's one ConsoleOutput, if there is one; any thread.
  static void neverWait();
  static void stopWaiting();

  struct Shared;  // the queue, shared with the writer thread

 private:
  std::shared_ptr<Shared> shared_;
};

// The system's side: `text` written to standard output (1) or error (2) in
// one call where the system allows it; false when it could not be written.
bool writeWhole(int stream, const char* text, std::size_t size);
