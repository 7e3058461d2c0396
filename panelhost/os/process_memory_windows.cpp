// Process memory figures on Windows: the C runtime's heap, which the host
// and the plug-in share (both allocate through msvcrt.dll), and the working
// set.
#include <malloc.h>
#include <windows.h>
// Version 2 names the functions kernel32 itself exports (K32...), so no
// psapi.dll is needed.
#define PSAPI_VERSION 2
#include <psapi.h>

#include "panelhost/os/process_memory.h"

long heapInUseKiB() {
  _HEAPINFO entry{};
  unsigned long long used = 0;
  while (_heapwalk(&entry) == _HEAPOK) {
    if (entry._useflag == _USEDENTRY) used += entry._size;
  }
  return static_cast<long>(used / 1024);
}

namespace {

PROCESS_MEMORY_COUNTERS counters() {
  PROCESS_MEMORY_COUNTERS c{};
  c.cb = sizeof c;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c)) return {};
  return c;
}

}  // namespace

long residentKiB() { return static_cast<long>(counters().WorkingSetSize / 1024); }
long peakResidentKiB() { return static_cast<long>(counters().PeakWorkingSetSize / 1024); }
