// PluginLibrary on POSIX systems: dlopen(3) and dlsym(3).
#include "panelhost/boundary/plugin_library.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "panelhost/support/file_path.h"
#include "panelhost/support/sha256.h"

PluginLibrary::~PluginLibrary() {
  if (handle_ != nullptr) dlclose(handle_);
}

Result<> PluginLibrary::open(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return fail("cannot open plug-in '" + path + "': no such file");
  if (!S_ISREG(info.st_mode)) return fail("cannot open plug-in '" + path + "': not a file");
  // dlopen searches the library path for names without a slash.
  const std::string where = path.find('/') == std::string::npos ? "./" + path : path;
  handle_ = dlopen(where.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* reason = dlerror();
    return fail("cannot load plug-in '" + path + "': " + (reason != nullptr ? reason : "unknown reason"));
  }
  void* symbol = dlsym(handle_, kVeskLoadFunctionName);
  if (symbol == nullptr) {
    return fail("'" + path + "' is not a script panel plug-in: it has no export " + kVeskLoadFunctionName);
  }
  loader_ = reinterpret_cast<vesk_load_function>(symbol);
  std::error_code failed;
  const std::filesystem::path full = std::filesystem::absolute(filePath(path), failed);
  file_.path = failed ? path : full.lexically_normal().string();
  // A shared object has no version resource: the version is the build's.
  file_.version = PANELHOST_VERSION " (this build's; a Windows DLL's comes from its version resource)";
  const Result<std::string> digest = fileSha256(path);
  file_.sha256 = digest ? *digest : digest.error();
  return Done{};
}
