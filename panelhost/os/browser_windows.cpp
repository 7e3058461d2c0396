// openInBrowser on Windows: ShellExecuteW opens the address with whatever
// the user chose for web pages.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "panelhost/os/browser.h"
#include "panelhost/os/windows_text.h"

Result<> openInBrowser(const std::string& url) {
  // The handler for web addresses may be a shell extension, which needs COM
  // on the calling thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const std::wstring page = widen(url);
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  const DWORD error = GetLastError();
  if (SUCCEEDED(com)) CoUninitialize();
  // Values up to 32 mean failure; GetLastError says which.
  if (result <= 32) return fail("the system cannot open it: " + systemErrorText(error));
  return Done{};
}
