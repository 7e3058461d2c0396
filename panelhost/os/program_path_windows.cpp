// The program's path on Windows: GetModuleFileNameW of the program itself.
#include "panelhost/os/program_path.h"

#include <windows.h>

#include "panelhost/os/windows_text.h"

std::string programPath() {
  // A long path does not fit MAX_PATH: grow until the name is not cut short.
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) return narrow(std::wstring_view(name.data(), length));
    name.resize(name.size() * 2);
  }
}
