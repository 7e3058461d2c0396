// Input text: byte-order marks, UTF-16 to UTF-8, and lines however they end.
#include "panelhost/support/input_text.h"

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigMark = "\xFE\xFF";
constexpr const char* kSaveAsUtf8 = ": save it as UTF-8";

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The UTF-8 of the UTF-16 `units` (after the mark), or why not.
Result<std::string> fromUtf16(std::string_view units, bool bigEnd) {
  if (units.size() % 2 != 0) return fail(std::string("it is UTF-16 cut short by a byte") + kSaveAsUtf8);
  auto unit = [&](size_t i) -> char32_t {
    const auto first = static_cast<unsigned char>(units[i]);
    const auto second = static_cast<unsigned char>(units[i + 1]);
    return bigEnd ? (first << 8 | second) : (second << 8 | first);
  };
  std::string out;
  out.reserve(units.size() / 2);
  for (size_t i = 0; i < units.size(); i += 2) {
    char32_t c = unit(i);
    if (c >= 0xD800 && c < 0xDC00 && i + 3 < units.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (c >= 0xD800 && c < 0xE000) {
      return fail("it is UTF-16 with half a surrogate pair at byte " + std::to_string(i + 3) + kSaveAsUtf8);
    }
    if (c == 0) return fail("it holds a NUL character" + std::string(kSaveAsUtf8));
    appendUtf8(out, c);
  }
  return out;
}

}  // namespace

Result<std::string> inputText(std::string_view bytes) {
  if (bytes.substr(0, 2) == kUtf16LittleMark) return fromUtf16(bytes.substr(2), false);
  if (bytes.substr(0, 2) == kUtf16BigMark) return fromUtf16(bytes.substr(2), true);
  if (bytes.substr(0, 3) == kUtf8Mark) bytes.remove_prefix(3);
  if (const size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
    return fail("it holds a NUL byte at byte " + std::to_string(nul + 1) +
                " (UTF-16 without a byte-order mark, or not text)" + kSaveAsUtf8);
  }
  return std::string(bytes);
}

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const size_t end = text.find_first_of("\r\n");
    lines.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    const size_t next = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    text.remove_prefix(next);
  }
  return lines;
}
