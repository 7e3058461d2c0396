// Replaces the global allocation functions to count calls and blocks still
// live, and to fail a chosen nothrow allocation.
//
// Only the total is counted with an atomic add, as it may be read while
// other threads allocate; the other counters serve single-threaded tests and
// are kept with plain loads and stores, so that the benchmark, which counts
// allocations on its hot paths, pays for no more than one locked add.
#include "hostside/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> g_allocations{0};
std::atomic<std::size_t> g_nothrowAllocations{0};
std::atomic<std::size_t> g_live{0};
// The value of g_nothrowAllocations at which a nothrow allocation fails; 0
// when none is to fail.
std::atomic<std::size_t> g_failAt{0};
std::atomic<int> g_paused{0};

void bump(std::atomic<std::size_t>& counter, std::size_t by, bool up) {
  const std::size_t now = counter.load(std::memory_order_relaxed);
  counter.store(up ? now + by : now - by, std::memory_order_relaxed);
}

void* allocate(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p != nullptr) bump(g_live, 1, true);
  return p;
}

void* allocateNothrow(std::size_t size) noexcept {
  if (g_paused.load(std::memory_order_relaxed) == 0) {
    bump(g_nothrowAllocations, 1, true);
    const std::size_t failAt = g_failAt.load(std::memory_order_relaxed);
    if (failAt != 0 && failAt == g_nothrowAllocations.load(std::memory_order_relaxed)) {
      g_failAt.store(0, std::memory_order_relaxed);
      g_allocations.fetch_add(1, std::memory_order_relaxed);
      return nullptr;
    }
  }
  return allocate(size);
}

void release(void* p) noexcept {
  if (p == nullptr) return;
  bump(g_live, 1, false);
  std::free(p);
}
}  // namespace

std::size_t allocationCount() { return g_allocations.load(std::memory_order_relaxed); }
std::size_t nothrowAllocationCount() { return g_nothrowAllocations.load(std::memory_order_relaxed); }
std::size_t liveAllocations() { return g_live.load(std::memory_order_relaxed); }

void failNothrowAllocation(std::size_t n) {
  g_failAt.store(n == 0 ? 0 : g_nothrowAllocations.load(std::memory_order_relaxed) + n,
                 std::memory_order_relaxed);
}

NothrowAllocationPause::NothrowAllocationPause() { g_paused.fetch_add(1, std::memory_order_relaxed); }
NothrowAllocationPause::~NothrowAllocationPause() { g_paused.fetch_sub(1, std::memory_order_relaxed); }

void* operator new(std::size_t size) {
  void* p = allocate(size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocateNothrow(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocateNothrow(size); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }
