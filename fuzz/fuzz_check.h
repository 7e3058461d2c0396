// The fuzzers' checks: a check that fails names itself on standard error and
// aborts, so that libFuzzer stops and keeps the input that broke it.
#pragma once

#include <cstddef>

[[noreturn]] void fuzzFailure(const char* condition, const char* file, int line);

#define FUZZ_CHECK(condition) ((condition) ? static_cast<void>(0) : fuzzFailure(#condition, __FILE__, __LINE__))

// True when `entry` is the shared empty text, or begins inside the `length`
// bytes of `buffer` with its terminating zero no further than buffer[length]:
// what every entry a splitter hands out must be.
bool entryInside(const char* entry, const char* buffer, std::size_t length);
