// What the process holds in memory, for the soak: the one place panelhost
// reads the C library's heap figures and the system's process status
// (glibc's mallinfo2 and /proc on Linux; the C runtime's _heapwalk and the
// working set on Windows).
#pragma once

// Heap in use by the whole process, host and plug-in, in KiB; 0 where the
// allocator gives no figures (valgrind's, for one).
long heapInUseKiB();
// The resident set (on Windows, the working set) now and at its peak, in
// KiB; 0 where unknown.
long residentKiB();
long peakResidentKiB();
