// PluginLibrary: a script panel plug-in loaded by path at run time, with its
// one export found by name, as the panel host loads it. The one place
// panelhost loads a library (dlopen(3) on POSIX, LoadLibraryW on Windows,
// from the UTF-8 path converted).
#pragma once

#include <string>

#include "framework/vesk_boundary.h"
#include "hostside/result.h"

class PluginLibrary {
 public:
  PluginLibrary() = default;
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // Loads the library at `path` and finds load_vesk_client_script; why not
  // when the file is missing, does not load, or has no such export.
  Result<> open(const std::string& path);

  // The export; valid while this object lives and open() succeeded.
  vesk_load_function loader() const { return loader_; }

 private:
  void* handle_ = nullptr;
  vesk_load_function loader_ = nullptr;
};
