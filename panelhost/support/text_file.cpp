// Reading an input file whole, up to a limit.
#include "panelhost/support/text_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "panelhost/support/file_path.h"

Result<std::string> readTextFile(const std::string& path, std::size_t limit) {
  std::error_code ec;
  const std::filesystem::path name = filePath(path);
  const std::filesystem::file_status status = std::filesystem::status(name, ec);
  if (status.type() == std::filesystem::file_type::not_found) return fail("no such file");
  if (status.type() == std::filesystem::file_type::directory) return fail("it is a folder");
  std::ifstream file(name, std::ios::binary);
  if (!file) return fail("it cannot be read");
  std::string text;
  char block[64 * 1024];
  // A device or pipe may never end: read no more than the limit and a byte.
  while (file.read(block, sizeof block) || file.gcount() > 0) {
    text.append(block, static_cast<std::size_t>(file.gcount()));
    if (text.size() > limit) {
      return fail("it is longer than " + std::to_string(limit / (1024 * 1024)) + " MiB");
    }
  }
  if (file.bad()) return fail("it cannot be read");
  return text;
}
