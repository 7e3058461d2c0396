// PluginLibrary on Windows: LoadLibraryW and GetProcAddress, as the panel
// host loads a script panel DLL.
#include "panelhost/boundary/plugin_library.h"

#include <windows.h>

#include "panelhost/os/windows_text.h"

PluginLibrary::~PluginLibrary() {
  if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
}

Result<> PluginLibrary::open(const std::string& path) {
  const std::wstring name = widen(path);
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME;
    return fail("cannot open plug-in '" + path + "': " + (missing ? "no such file" : systemErrorText(error)));
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return fail("cannot open plug-in '" + path + "': not a file");
  // LoadLibrary searches the program's folder, the system's and PATH for a
  // bare name: the full path makes it load the very file named.
  const DWORD length = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  std::wstring full(length, L'\0');
  full.resize(GetFullPathNameW(name.c_str(), length, full.data(), nullptr));
  // A DLL that does not load is reported here, not in a system message box.
  DWORD previousMode = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
  handle_ = LoadLibraryW(full.c_str());
  const DWORD error = GetLastError();
  SetThreadErrorMode(previousMode, nullptr);
  if (handle_ == nullptr) {
    // The system's own text for this one is "%1 is not a valid Win32
    // application"; the usual cause is a DLL of the other width.
    const std::string reason =
        error == ERROR_BAD_EXE_FORMAT
            ? "not a DLL this " + std::to_string(8 * sizeof(void*)) +
                  "-bit program can load (a 32-bit program loads 32-bit DLLs only; error 193)"
            : systemErrorText(error);
    return fail("cannot load plug-in '" + path + "': " + reason);
  }
  FARPROC symbol = GetProcAddress(static_cast<HMODULE>(handle_), kVeskLoadFunctionName);
  if (symbol == nullptr) {
    return fail("'" + path + "' is not a script panel plug-in: it has no export " + kVeskLoadFunctionName);
  }
  loader_ = reinterpret_cast<vesk_load_function>(reinterpret_cast<void*>(symbol));
  return Done{};
}
