// Utf8Process on Windows: the command line as UTF-16, converted (the C
// runtime's argv holds the system's ANSI code page, which loses every
// character outside it), and the console's output code page set to UTF-8.
#include <windows.h>
#include <shellapi.h>

#include "panelhost/os/utf8_process.h"
#include "panelhost/os/windows_text.h"

Utf8Process::Utf8Process(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide != nullptr) {
    for (int i = 0; i < count; ++i) args_.push_back(narrow(wide[i]));
    LocalFree(wide);
  } else {
    args_.assign(argv, argv + argc);
  }
  for (std::string& arg : args_) pointers_.push_back(arg.data());
  pointers_.push_back(nullptr);

  // A console's code page outlives the program in it: restored on the way out.
  DWORD mode = 0;
  if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) && GetConsoleOutputCP() != CP_UTF8) {
    restoreCodePage_ = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
  }
}

Utf8Process::~Utf8Process() {
  if (restoreCodePage_ != 0) SetConsoleOutputCP(restoreCodePage_);
}
