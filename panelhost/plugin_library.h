// PluginLibrary: a script panel plug-in loaded by path at run time, with its
// one export found by name, as the panel host loads it.
#pragma once

#include <string>

#include "framework/vesk_boundary.h"

class PluginLibrary {
 public:
  PluginLibrary() = default;
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // Loads the library at `path` and finds load_vesk_client_script. False with
  // a one-line reason in error() when the file is missing, does not load, or
  // has no such export.
  bool open(const std::string& path);
  const std::string& error() const { return error_; }
  const std::string& path() const { return path_; }

  // The export; valid while this object lives and open() succeeded.
  vesk_load_function loader() const { return loader_; }

 private:
  void* handle_ = nullptr;
  vesk_load_function loader_ = nullptr;
  std::string path_;
  std::string error_;
};
