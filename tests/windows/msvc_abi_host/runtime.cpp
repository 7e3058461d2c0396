// The freestanding host's runtime: entry point, heap, memory functions the
// compiler may call, and output.
#include "runtime.h"

// ---- Memory functions --------------------------------------------------------
// The compiler emits calls to these for copies and zeroing of objects. Built
// with -ffreestanding, it does not turn these loops back into calls to them.
extern "C" {
void* memset(void* target, int value, size_t bytes) {
  auto* out = static_cast<unsigned char*>(target);
  for (size_t i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(value);
  return target;
}

void* memcpy(void* target, const void* source, size_t bytes) {
  auto* out = static_cast<unsigned char*>(target);
  const auto* in = static_cast<const unsigned char*>(source);
  for (size_t i = 0; i < bytes; ++i) out[i] = in[i];
  return target;
}

int memcmp(const void* a, const void* b, size_t bytes) {
  const auto* x = static_cast<const unsigned char*>(a);
  const auto* y = static_cast<const unsigned char*>(b);
  for (size_t i = 0; i < bytes; ++i) {
    if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
  }
  return 0;
}

// The table of an abstract class points its pure operations here; a call
// means an object was used during its construction or after its destruction.
int __cdecl _purecall() {
  (line() << "FAIL: a pure virtual operation was called").toErr();
  ExitProcess(3);
}
}

// ---- Heap ------------------------------------------------------------------
// The process heap, as a host's runtime would use it. A failed allocation
// ends the program: nothing here can go on without memory.
void* operator new(size_t bytes) {
  void* block = HeapAlloc(GetProcessHeap(), 0, bytes == 0 ? 1 : bytes);
  if (block == nullptr) {
    (line() << "FAIL: out of memory").toErr();
    ExitProcess(3);
  }
  return block;
}
void* operator new[](size_t bytes) { return operator new(bytes); }
void operator delete(void* block) noexcept {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}
void operator delete[](void* block) noexcept { operator delete(block); }
void operator delete(void* block, size_t) noexcept { operator delete(block); }
void operator delete[](void* block, size_t) noexcept { operator delete(block); }

// ---- Text ------------------------------------------------------------------
size_t textLength(const char* text) {
  size_t length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

bool textEqual(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return a == b;
  const size_t length = textLength(a);
  return length == textLength(b) && memcmp(a, b, length) == 0;
}

char* textCopy(const char* text) {
  const size_t bytes = textLength(text) + 1;
  char* copy = new char[bytes];
  memcpy(copy, text, bytes);
  return copy;
}

line& line::operator<<(const char* text) {
  // Room is kept for the line end or the zero.
  for (; *text != '\0' && length_ < sizeof text_ - 1; ++text) text_[length_++] = *text;
  return *this;
}

const char* line::text() {
  text_[length_] = '\0';
  return text_;
}

line& line::operator<<(long number) {
  char digits[24];
  int count = 0;
  // Digits of the magnitude, taken from a negative value so that the most
  // negative long needs no special case.
  long rest = number < 0 ? number : -number;
  do {
    digits[count++] = static_cast<char>('0' - rest % 10);
    rest /= 10;
  } while (rest != 0);
  if (number < 0) *this << "-";
  char text[24];
  for (int i = 0; i < count; ++i) text[i] = digits[count - 1 - i];
  text[count] = '\0';
  return *this << text;
}

line& line::hex(unsigned long number) {
  char text[2 + 2 * sizeof number + 1] = "0x";
  int digits = 0;
  for (unsigned long rest = number; digits == 0 || rest != 0; rest >>= 4) ++digits;
  for (int i = 0; i < digits; ++i) text[2 + i] = "0123456789abcdef"[(number >> (4 * (digits - 1 - i))) & 15];
  text[2 + digits] = '\0';
  return *this << text;
}

line& line::quoted(const char* text) {
  if (text == nullptr) return *this << "null";
  return *this << "\"" << text << "\"";
}

void line::write(DWORD which) {
  text_[length_++] = '\n';
  DWORD written = 0;
  WriteFile(GetStdHandle(which), text_, static_cast<DWORD>(length_), &written, nullptr);
  length_ = 0;
}
void line::toOut() { write(static_cast<DWORD>(-11)); }  // STD_OUTPUT_HANDLE
void line::toErr() { write(static_cast<DWORD>(-12)); }  // STD_ERROR_HANDLE

namespace {
int failures = 0;
}

failure::failure(const char* step) { *this << "FAIL " << step << ": "; }
failure::~failure() {
  toErr();
  ++failures;
}
int failureCount() { return failures; }

// ---- Entry point -------------------------------------------------------------
namespace {

// Splits the command line in place: blanks separate, double quotes group
// (no escapes; none of this program's arguments needs them).
int splitCommandLine(char* text, char** argv, int capacity) {
  int argc = 0;
  while (*text != '\0') {
    while (*text == ' ' || *text == '\t') ++text;
    if (*text == '\0') break;
    char* out = text;
    if (argc < capacity) argv[argc] = out;
    ++argc;
    bool quoted = false;
    for (; *text != '\0' && (quoted || (*text != ' ' && *text != '\t')); ++text) {
      if (*text == '"') {
        quoted = !quoted;
      } else {
        *out++ = *text;
      }
    }
    if (*text != '\0') ++text;
    *out = '\0';
  }
  return argc;
}

}  // namespace

// The process starts here (lld-link /entry), with no runtime set up before.
extern "C" void __cdecl mainCRTStartup() {
  char* commandLine = textCopy(GetCommandLineA());
  char* argv[8] = {};
  const int argc = splitCommandLine(commandLine, argv, 8);
  if (argc > 8) {
    (line() << "too many arguments").toErr();
    ExitProcess(2);
  }
  // argv[0] is the program's own name.
  ExitProcess(static_cast<unsigned>(hostMain(argc - 1, argv + 1)));
}
