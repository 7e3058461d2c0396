// The little a host without a C runtime needs: the Windows functions it
// calls, declared by hand, text helpers, and output to stdout and stderr.
//
// The program is built freestanding (no C or C++ runtime, no SDK): its entry
// point is in runtime.cpp, which also supplies operator new and delete over
// the process heap and the memory functions the compiler may call. No global
// constructor runs, so every global must be constant-initialised.
#pragma once

#include <stddef.h>
#include <stdint.h>

// ---- Windows, as far as this program uses it ------------------------------
// WINAPI is the Windows API's convention: __stdcall on 32-bit x86; on x64
// there is one convention and the keyword is ignored.
#define WINAPI __stdcall
#define IMPORTED __declspec(dllimport)

extern "C" {
typedef void* HANDLE;
typedef void* HMODULE;
typedef unsigned long DWORD;
typedef int BOOL;

IMPORTED HANDLE WINAPI GetProcessHeap();
IMPORTED void* WINAPI HeapAlloc(HANDLE heap, DWORD flags, size_t bytes);
IMPORTED BOOL WINAPI HeapFree(HANDLE heap, DWORD flags, void* block);
IMPORTED HANDLE WINAPI GetStdHandle(DWORD which);
IMPORTED BOOL WINAPI WriteFile(HANDLE file, const void* data, DWORD bytes, DWORD* written, void* overlapped);
IMPORTED const char* WINAPI GetCommandLineA();
IMPORTED __declspec(noreturn) void WINAPI ExitProcess(unsigned code);
IMPORTED HMODULE WINAPI LoadLibraryA(const char* path);
IMPORTED void* WINAPI GetProcAddress(HMODULE module, const char* name);
IMPORTED BOOL WINAPI FreeLibrary(HMODULE module);
IMPORTED DWORD WINAPI GetLastError();

IMPORTED DWORD WINAPI GetFileVersionInfoSizeA(const char* path, DWORD* ignored);
IMPORTED BOOL WINAPI GetFileVersionInfoA(const char* path, DWORD ignored, DWORD bytes, void* block);
IMPORTED BOOL WINAPI VerQueryValueA(const void* block, const char* query, void** value, unsigned* bytes);
}

// The memory functions, defined in runtime.cpp.
extern "C" {
void* memset(void* target, int value, size_t bytes);
void* memcpy(void* target, const void* source, size_t bytes);
int memcmp(const void* a, const void* b, size_t bytes);
}

// ---- Text -----------------------------------------------------------------
size_t textLength(const char* text);
// True when both are null, or both hold the same bytes.
bool textEqual(const char* a, const char* b);
// A new[] copy of `text` (with its zero), owned by the caller.
char* textCopy(const char* text);

// A line of output built piece by piece in a fixed buffer (longer text is
// cut), written whole by toOut() or toErr().
class line {
 public:
  line& operator<<(const char* text);
  line& operator<<(long number);
  line& operator<<(int number) { return *this << static_cast<long>(number); }
  // A text in double quotes, or "null".
  line& quoted(const char* text);
  line& hex(unsigned long number);
  // The text so far, zero-terminated; valid until the line changes.
  const char* text();
  void toOut();
  void toErr();

 private:
  void write(DWORD which);
  char text_[600];
  size_t length_ = 0;
};

// One failure of the run: `failure("step") << "what";` writes
// "FAIL step: what" to stderr at the end of the statement and counts it.
class failure : public line {
 public:
  explicit failure(const char* step);
  ~failure();
};
int failureCount();

// ---- The program ------------------------------------------------------------
// Defined by the program: called by the entry point with the arguments after
// the program's name (split at blanks, double quotes group); its result is
// the exit status.
int hostMain(int argc, char** argv);
