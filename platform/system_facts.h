// What the plug-in reads from the system for its trace: an environment
// variable and a millisecond clock, neither touching the heap.
#pragma once

#include <cstdint>

// Copies the value of environment variable `name` into `buffer` (`size`
// bytes, zero-terminated) and returns true; false, with `buffer` empty,
// when the variable is not set. A value too long for `buffer` reads as
// empty (on POSIX systems, as cut to fit). On Windows the process's
// own environment (GetEnvironmentVariableA), which a host may set before it
// creates a panel; elsewhere getenv.
bool vesk_environment(const char* name, char* buffer, unsigned size);

// Milliseconds on a clock that never goes back (GetTickCount on Windows,
// which every Windows has, CLOCK_MONOTONIC elsewhere), modulo 2^32: only
// differences mean anything, taken as unsigned 32-bit numbers, which are
// right for spans under 49 days.
std::uint32_t vesk_clock_ms();
