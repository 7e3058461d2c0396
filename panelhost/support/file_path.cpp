// Paths: UTF-8 text to the system's names, and their parts.
#include "panelhost/support/file_path.h"

namespace {

#if defined(_WIN32)
constexpr const char* kSeparators = "/\\";
#else
constexpr const char* kSeparators = "/";
#endif

}  // namespace

std::filesystem::path filePath(const std::string& utf8) { return std::filesystem::u8path(utf8); }

std::string fileNameOf(const std::string& path) {
  const size_t separator = path.find_last_of(kSeparators);
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string folderOf(const std::string& path) {
  const size_t separator = path.find_last_of(kSeparators);
  if (separator == std::string::npos) return ".";
  // A root keeps its separator: "/" of "/x.so", and on Windows "C:\" of
  // "C:\x.dll" ("C:" alone is the drive's current folder).
  bool root = separator == 0;
#if defined(_WIN32)
  root = root || path[separator - 1] == ':';
#endif
  return path.substr(0, root ? separator + 1 : separator);
}
