// Reading the emulator's input files (device tables, layouts, scenarios)
// whole, with a limit, so that a folder, an endless device such as
// /dev/zero or a file of the wrong kind is refused in one line instead of
// filling memory.
#pragma once

#include <cstddef>
#include <string>

#include "hostside/result.h"

// Larger than any device table, layout or scenario written by hand, or
// generated for tens of thousands of crosspoints.
inline constexpr std::size_t kInputFileLimit = 16 * 1024 * 1024;

// The bytes of the file at `path`, or why not: "no such file", "it is a
// folder", "it cannot be read", "it is longer than 16 MiB".
Result<std::string> readTextFile(const std::string& path, std::size_t limit = kInputFileLimit);
