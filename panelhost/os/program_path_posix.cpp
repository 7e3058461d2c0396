// The program's path on POSIX systems: where /proc/self/exe points.
#include "panelhost/os/program_path.h"

#include <filesystem>
#include <system_error>

std::string programPath() {
  std::error_code failed;
  const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", failed);
  return failed ? std::string() : path.string();
}
