// PluginLibrary: opening the plug-in and finding its export.
#include "panelhost/plugin_library.h"

#include <sys/stat.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

std::string lastLoadError() {
#if defined(_WIN32)
  return "Windows error " + std::to_string(GetLastError());
#else
  const char* text = dlerror();
  return text != nullptr ? text : "unknown reason";
#endif
}

}  // namespace

PluginLibrary::~PluginLibrary() {
  if (handle_ == nullptr) return;
#if defined(_WIN32)
  FreeLibrary(static_cast<HMODULE>(handle_));
#else
  dlclose(handle_);
#endif
}

Result<> PluginLibrary::open(const std::string& path) {
  path_ = path;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return fail("cannot open plug-in '" + path + "': no such file");
  if (!S_ISREG(info.st_mode)) return fail("cannot open plug-in '" + path + "': not a file");
#if defined(_WIN32)
  handle_ = LoadLibraryA(path.c_str());
#else
  // dlopen searches the library path for names without a slash.
  const std::string where = path.find('/') == std::string::npos ? "./" + path : path;
  handle_ = dlopen(where.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
  if (handle_ == nullptr) return fail("cannot load plug-in '" + path + "': " + lastLoadError());
#if defined(_WIN32)
  FARPROC symbol = GetProcAddress(static_cast<HMODULE>(handle_), kVeskLoadFunctionName);
#else
  void* symbol = dlsym(handle_, kVeskLoadFunctionName);
#endif
  if (symbol == nullptr) {
    return fail("'" + path + "' is not a script panel plug-in: it has no export " + kVeskLoadFunctionName);
  }
  loader_ = reinterpret_cast<vesk_load_function>(symbol);
  return Done{};
}
