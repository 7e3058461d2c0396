// openInBrowser on POSIX systems: xdg-open, started with the signals as a
// new program expects them, whatever panelhost blocked or ignored.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "panelhost/os/browser.h"

extern char** environ;

namespace {

// Whether `program` is a file PATH finds that may be run.
bool onPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "";
  for (size_t start = 0; start <= folders.size();) {
    const size_t end = std::min(folders.find(':', start), folders.size());
    const std::string folder = folders.substr(start, end - start);
    if (access(((folder.empty() ? "." : folder) + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

Result<> openInBrowser(const std::string& url) {
  if (!onPath("xdg-open")) return fail("xdg-open is not installed");
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigset_t defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGINT);
  sigaddset(&defaults, SIGTERM);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  std::string program = "xdg-open";
  std::string page = url;
  char* arguments[] = {program.data(), page.data(), nullptr};
  pid_t child = 0;
  const int error = posix_spawnp(&child, "xdg-open", nullptr, &attributes, arguments, environ);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) return fail(std::string("cannot start xdg-open: ") + std::strerror(error));
  // Reaped when it ends, so no finished child is left behind.
  std::thread([child] { waitpid(child, nullptr, 0); }).detach();
  return Done{};
}
