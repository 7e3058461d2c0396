// Counts heap allocations made through operator new in the program that
// links this library (a test binary or the benchmark): linking it replaces
// the global allocation functions.
//
// Every form of operator new goes through one function in the .cpp, so a
// rule about allocations (such as making one of them fail) is added there.
#pragma once

#include <cstddef>

// Number of operator new calls (all forms) since the program started.
std::size_t allocationCount();
