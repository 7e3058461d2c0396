// PluginLibrary on Windows: LoadLibraryW and GetProcAddress, as the panel
// host loads a script panel DLL.
#include "panelhost/boundary/plugin_library.h"

#include <windows.h>

#include <vector>

#include "panelhost/os/windows_text.h"
#include "panelhost/support/file_path.h"
#include "panelhost/support/pe_header.h"
#include "panelhost/support/sha256.h"

namespace {

// The file version of the DLL's version resource ("1.0.0.1"), as
// Explorer's Details tab shows it; or why there is none.
std::string fileVersion(const std::wstring& name) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(name.c_str(), &ignored);
  if (size == 0) return "none (the file has no version resource)";
  std::vector<char> info(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!GetFileVersionInfoW(name.c_str(), 0, size, info.data()) ||
      !VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed) {
    return "unreadable (" + systemErrorText(GetLastError()) + ")";
  }
  return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

// Why a file LoadLibrary calls "not a valid Win32 application" (error
// 193) does not load here, read from its header.
std::string badFormat(const std::string& path) {
  constexpr int kBits = 8 * sizeof(void*);
  const std::string name = fileNameOf(path);
  switch (peKind(readHead(path))) {
    case PeKind::Bits32:
    case PeKind::Bits64: {
      const int bits = kBits == 64 ? 32 : 64;
      return name + " is a " + std::to_string(bits) + "-bit DLL: use the " + std::to_string(bits) +
             "-bit panelhost.exe (this one is " + std::to_string(kBits) + "-bit; error 193)";
    }
    case PeKind::Other:
      return name + " is a DLL for another kind of processor (error 193)";
    case PeKind::NotWindows:
      break;
  }
  return name + " is not a Windows DLL (error 193)";
}

}  // namespace

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
    const std::string reason = error == ERROR_BAD_EXE_FORMAT ? badFormat(path) : systemErrorText(error);
    return fail("cannot load plug-in '" + path + "': " + reason);
  }
  FARPROC symbol = GetProcAddress(static_cast<HMODULE>(handle_), kVeskLoadFunctionName);
  if (symbol == nullptr) {
    return fail("'" + path + "' is not a script panel plug-in: it has no export " + kVeskLoadFunctionName);
  }
  loader_ = reinterpret_cast<vesk_load_function>(reinterpret_cast<void*>(symbol));
  file_.path = narrow(full);
  file_.version = fileVersion(full);
  const Result<std::string> digest = fileSha256(path);
  file_.sha256 = digest ? *digest : digest.error();
  return Done{};
}
