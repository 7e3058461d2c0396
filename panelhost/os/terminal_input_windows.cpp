// TerminalInput on Windows: a thread reads standard input and hands what it
// read over, so that fill() can wait with a deadline on a console, a pipe
// or a file alike (none of them can be polled the same way).
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "panelhost/os/terminal_input.h"
#include "panelhost/os/windows_text.h"

namespace {

// What the reader has read and not yet handed over. Shared with the reader
// thread, which may still wait in ReadFile when the shell is done: the
// thread is left to end with the process.
struct Pending {
  std::mutex mutex;
  std::condition_variable arrived;
  std::string text;
  bool ended = false;
};

bool isConsole(HANDLE input) {
  DWORD mode = 0;
  return GetConsoleMode(input, &mode) != 0;
}

// One read from the console as UTF-8; false at the end of input (Ctrl+Z at
// the start of a line, as for every console program). A surrogate pair cut
// by the read waits in `held` for its second half.
bool readConsole(HANDLE input, std::wstring& held, std::string& text) {
  wchar_t units[1024];
  DWORD count = 0;
  if (!ReadConsoleW(input, units, 1024, &count, nullptr)) return false;
  // No characters: Ctrl+C or Ctrl+Break interrupted the read.
  if (count == 0) return true;
  held.append(units, count);
  if (held.front() == L'\x1a') return false;
  const bool cut = held.back() >= 0xD800 && held.back() <= 0xDBFF;
  text = narrow(std::wstring_view(held).substr(0, held.size() - (cut ? 1 : 0)));
  held.erase(0, held.size() - (cut ? 1 : 0));
  return true;
}

void readInput(HANDLE input, bool console, const std::shared_ptr<Pending>& pending) {
  std::wstring held;
  for (bool more = true; more;) {
    std::string text;
    if (console) {
      more = readConsole(input, held, text);
    } else {
      char bytes[4096];
      DWORD count = 0;
      more = ReadFile(input, bytes, sizeof bytes, &count, nullptr) && count > 0;
      text.assign(bytes, count);
    }
    {
      std::lock_guard<std::mutex> lock(pending->mutex);
      pending->text += text;
      pending->ended = !more;
    }
    pending->arrived.notify_all();
  }
}

}  // namespace

struct TerminalInput::Source {
  bool console = false;
  std::shared_ptr<Pending> pending = std::make_shared<Pending>();
};

TerminalInput::TerminalInput() : source_(std::make_unique<Source>()) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  source_->console = isConsole(input);
  std::thread(readInput, input, source_->console, source_->pending).detach();
}

TerminalInput::~TerminalInput() = default;

bool TerminalInput::interactive() const { return source_->console; }

bool TerminalInput::fill(int timeoutMs) {
  Pending& pending = *source_->pending;
  std::unique_lock<std::mutex> lock(pending.mutex);
  const auto ready = [&] { return !pending.text.empty() || pending.ended; };
  if (timeoutMs < 0) {
    pending.arrived.wait(lock, ready);
  } else {
    pending.arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
  }
  const bool got = !pending.text.empty();
  buffer_ += pending.text;
  pending.text.clear();
  return got || !pending.ended;
}

void sleepMs(int ms) { Sleep(static_cast<DWORD>(ms)); }
