// What a Windows program file's header says it was built for, so that a
// plug-in that does not load can be named for what it is: a DLL of the
// other width, or no Windows DLL at all.
#pragma once

#include <string>
#include <string_view>

enum class PeKind {
  NotWindows,  // no "MZ" and "PE" headers: not a Windows program file
  Bits32,      // x86 (machine 0x14c)
  Bits64,      // x86-64 or ARM64 (0x8664, 0xaa64)
  Other,       // another machine
};

// The kind of the file whose first bytes are `head` (the first 4 KiB hold
// the headers of any file a linker makes).
//   peKind("MZ...<e_lfanew>...PE\0\0\x4c\x01...") == PeKind::Bits32
PeKind peKind(std::string_view head);

// The first 4 KiB of the file at `path` (UTF-8), for peKind; less when the
// file is shorter, nothing when it cannot be read.
std::string readHead(const std::string& path);
