// Process memory figures on Linux with glibc.
#include "panelhost/os/process_memory.h"

#include <malloc.h>

#include <fstream>
#include <string>

namespace {

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"); 0 where there is
// no such file.
long statusKiB(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == field + ":") {
      status >> value;
      return value;
    }
    status.ignore(4096, '\n');
  }
  return 0;
}

}  // namespace

long heapInUseKiB() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

long residentKiB() { return statusKiB("VmRSS"); }
long peakResidentKiB() { return statusKiB("VmHWM"); }
