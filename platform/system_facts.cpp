// The environment and the monotonic clock, as the plug-in reads them.
#include "platform/system_facts.h"

#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <cstdlib>
#include <ctime>
#endif

bool vesk_environment(const char* name, char* buffer, unsigned size) {
  if (size == 0) return false;
  buffer[0] = '\0';
#if defined(_WIN32)
  const DWORD length = GetEnvironmentVariableA(name, buffer, size);
  if (length == 0) {
    buffer[0] = '\0';
    return GetLastError() != ERROR_ENVVAR_NOT_FOUND;
  }
  if (length >= size) {
    // Too long for the buffer: it holds nothing yet; a cut value is enough.
    buffer[0] = '\0';
    return true;
  }
  return true;
#else
  const char* value = std::getenv(name);
  if (value == nullptr) return false;
  std::strncpy(buffer, value, size - 1);
  buffer[size - 1] = '\0';
  return true;
#endif
}

std::uint32_t vesk_clock_ms() {
#if defined(_WIN32)
  return static_cast<std::uint32_t>(GetTickCount());
#else
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000 +
                                    static_cast<std::uint64_t>(now.tv_nsec) / 1000000);
#endif
}
