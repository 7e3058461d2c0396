// What a file's PE header says it was built for, read from made-up headers
// and from files that are no Windows programs.
#include "panelhost/support/pe_header.h"

#include <gtest/gtest.h>

namespace {

// A file head with "MZ", the offset of "PE\0\0" at 0x3c, and `machine`.
std::string head(unsigned machine, unsigned at = 0x80) {
  std::string bytes(512, '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  bytes[0x3c] = static_cast<char>(at & 0xFF);
  bytes[0x3d] = static_cast<char>(at >> 8);
  if (at + 6 <= bytes.size()) {
    bytes.replace(at, 4, std::string("PE\0\0", 4));
    bytes[at + 4] = static_cast<char>(machine & 0xFF);
    bytes[at + 5] = static_cast<char>(machine >> 8);
  }
  return bytes;
}

TEST(PeHeader, MachineField) {
  struct Case {
    const char* what;
    std::string bytes;
    PeKind kind;
  } cases[] = {
      {"x86", head(0x14c), PeKind::Bits32},
      {"x86-64", head(0x8664), PeKind::Bits64},
      {"ARM64", head(0xaa64), PeKind::Bits64},
      {"Itanium", head(0x200), PeKind::Other},
      {"PE at the last place it fits", head(0x14c, 506), PeKind::Bits32},
      {"PE offset beyond the head", head(0x14c, 510), PeKind::NotWindows},
      {"PE offset far beyond", head(0x14c, 0xFFFF), PeKind::NotWindows},
      {"MZ without PE", std::string("MZ") + std::string(200, '\0'), PeKind::NotWindows},
      {"an ELF shared object", std::string("\x7f" "ELF\x02\x01\x01") + std::string(100, '\0'), PeKind::NotWindows},
      {"a scenario", "press SourceSel 5\n", PeKind::NotWindows},
      {"nothing", "", PeKind::NotWindows},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(peKind(c.bytes), c.kind);
  }
  EXPECT_EQ(readHead("/no/such/file"), "");
}

}  // namespace
