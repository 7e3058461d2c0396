// Counts heap allocations made through operator new in the program that
// links this library (a test binary or the benchmark): linking it replaces
// the global allocation functions. It can also make one of the plug-in's
// allocations fail, as a heap that has run out would. Only allocationCount()
// may be read while other threads allocate.
#pragma once

#include <cstddef>

// Number of operator new calls (all forms) since the program started.
std::size_t allocationCount();

// Number of nothrow operator new calls since the program started, failed ones
// included, but not those made while a NothrowAllocationPause lives. The
// plug-in allocates only through the nothrow forms; the tests' own containers
// use the throwing ones, so this counts the plug-in's blocks.
std::size_t nothrowAllocationCount();

// Makes the `n`-th nothrow allocation from now on return null (1 is the next
// one); 0 turns the failure off. One failure per call: later allocations
// succeed again.
void failNothrowAllocation(std::size_t n);

// Blocks allocated and not yet freed, all forms together.
std::size_t liveAllocations();

// While one lives, nothrow allocations neither count nor fail: a test builds
// its own payloads with the plug-in's splitter under it.
class NothrowAllocationPause {
 public:
  NothrowAllocationPause();
  ~NothrowAllocationPause();
  NothrowAllocationPause(const NothrowAllocationPause&) = delete;
  NothrowAllocationPause& operator=(const NothrowAllocationPause&) = delete;
};
