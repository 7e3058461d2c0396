// Reading the machine field of a PE file's header.
#include "panelhost/support/pe_header.h"

#include <cstdint>
#include <fstream>

#include "panelhost/support/file_path.h"

namespace {

std::uint32_t little(std::string_view bytes, size_t at, size_t size) {
  std::uint32_t value = 0;
  for (size_t i = 0; i < size; ++i) value |= std::uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
  return value;
}

}  // namespace

PeKind peKind(std::string_view head) {
  // The DOS header's "MZ", at 0x3c the offset of "PE\0\0", then the machine.
  if (head.size() < 0x40 || head.substr(0, 2) != "MZ") return PeKind::NotWindows;
  const std::uint32_t pe = little(head, 0x3c, 4);
  if (pe > head.size() - 6 || head.substr(pe, 4) != std::string_view("PE\0\0", 4)) return PeKind::NotWindows;
  switch (little(head, pe + 4, 2)) {
    case 0x14c:
      return PeKind::Bits32;
    case 0x8664:
    case 0xaa64:
      return PeKind::Bits64;
    default:
      return PeKind::Other;
  }
}

std::string readHead(const std::string& path) {
  std::string head(4096, '\0');
  std::ifstream file(filePath(path), std::ios::binary);
  file.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(file ? head.size() : file.gcount()));
  return head;
}
