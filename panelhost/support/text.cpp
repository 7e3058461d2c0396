// Showing texts safely on a terminal.
#include "panelhost/support/text.h"

namespace {

// The length of the UTF-8 sequence at `at` (2 to 4), or 0 if there is none.
size_t utf8Length(const std::string& text, size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  const size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

}  // namespace

std::string printable(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
      ++at;
    } else if (const size_t length = c >= 0x80 ? utf8Length(text, at) : 0) {
      out.append(text, at, length);
      at += length;
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
      ++at;
    }
  }
  return out;
}

std::vector<std::string_view> textLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '\n' && text[at] != '\r') continue;
    lines.push_back(text.substr(start, at - start));
    if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
    start = at + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}
