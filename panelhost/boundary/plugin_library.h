// PluginLibrary: a script panel plug-in loaded by path at run time, with its
// one export found by name, as the panel host loads it. The one place
// panelhost loads a library (dlopen(3) on POSIX, LoadLibraryW on Windows,
// from the UTF-8 path converted), and what it says of the file it loaded.
#pragma once

#include <string>

#include "framework/vesk_boundary.h"
#include "hostside/result.h"

// Which file a run loaded, so the engineer can tell it is the one that goes
// into the studio.
struct PluginFile {
  std::string path;     // the full path loaded
  std::string version;  // Windows: its version resource's file version; elsewhere this build's version
  std::string sha256;   // of the file's bytes, as sha256sum and Get-FileHash print it
};

// One line naming the file: "plug-in <path>, version <v>, SHA-256 <hex>".
inline std::string describe(const PluginFile& file) {
  return "plug-in " + file.path + ", version " + file.version + ", SHA-256 " + file.sha256;
}

class PluginLibrary {
 public:
  PluginLibrary() = default;
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // Loads the library at `path` and finds load_vesk_client_script; why not
  // when the file is missing, does not load (a Windows DLL of the other
  // width, or no Windows DLL, is named as such), or has no such export.
  Result<> open(const std::string& path);

  // The file open() loaded; empty before.
  const PluginFile& file() const { return file_; }

  // The export; valid while this object lives and open() succeeded.
  vesk_load_function loader() const { return loader_; }

 private:
  void* handle_ = nullptr;
  vesk_load_function loader_ = nullptr;
  PluginFile file_;
};
