// Counts heap allocations made through operator new in this test binary.
#pragma once

#include <cstddef>

// Number of operator new calls (all forms) since the program started.
std::size_t allocationCount();
