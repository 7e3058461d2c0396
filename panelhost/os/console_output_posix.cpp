// ConsoleOutput on POSIX systems: write(2) until all is written.
#include <errno.h>
#include <unistd.h>

#include "panelhost/os/console_output.h"

bool writeWhole(int stream, const char* text, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(stream == 2 ? STDERR_FILENO : STDOUT_FILENO, text, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}
