// vesk_trace: the switch, and trace lines built in the panel's own buffer.
#include "framework/vesk_trace.h"

#include <atomic>
#include <cstring>

#include "platform/debug_output.h"
#include "platform/system_facts.h"

namespace {

// Panels created in this process so far; each traced panel takes the next.
std::atomic<int> g_panelsTraced{0};

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool separator(char c) { return c == ',' || c == ';' || c == ' ' || c == '\t'; }

// Whether the word [from, to) is `name`, in any case.
bool sameName(const char* from, const char* to, const char* name) {
  for (; from != to; ++from, ++name) {
    if (*name == '\0' || lower(*from) != lower(*name)) return false;
  }
  return *name == '\0';
}

// Whether VESK_TRACE's value `wanted` asks for the panel `name`.
bool asksFor(const char* wanted, const char* name) {
  const char* const everyPanel[] = {"1", "on", "all", "*"};
  const char* end = wanted + std::strlen(wanted);
  for (const char* word : everyPanel) {
    if (sameName(wanted, end, word)) return true;
  }
  for (const char* c = wanted; *c != '\0';) {
    while (separator(*c)) ++c;
    const char* const from = c;
    while (*c != '\0' && !separator(*c)) ++c;
    if (c != from && sameName(from, c, name)) return true;
  }
  return false;
}

// `value` in decimal at the end of `digits`; the index of its first digit.
unsigned decimal(std::uint64_t value, char (&digits)[24]) {
  unsigned at = sizeof digits;
  do {
    digits[--at] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  return at;
}

bool plain(unsigned char c) { return c >= 0x20 && c <= 0x7e && c != '\\' && c != '\''; }

}  // namespace

void vesk_trace::start(const char* panelName, const char* folder) {
  const char* const name = panelName != nullptr && *panelName != '\0' ? panelName : "panel";
  char wanted[256];
  if (!vesk_environment(kVariable, wanted, sizeof wanted) || !asksFor(wanted, name)) return;
  unsigned n = 0;
  for (; name[n] != '\0' && n + 1 < sizeof name_; ++n) {
    const char c = name[n];
    const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                      c == '.' || c == '-';
    name_[n] = kept ? c : '_';
  }
  name_[n] = '\0';
  on_ = true;
  instance_ = ++g_panelsTraced;
  startMs_ = vesk_clock_ms();
  begin("new");
  text(folder != nullptr ? folder : "");
  end();
}

void vesk_trace::begin(const char* kind) {
  ++seq_;
  recordMs_ = vesk_clock_ms() - startMs_;  // unsigned: right across the clock's wrap
  header();
  put(kind, static_cast<unsigned>(std::strlen(kind)));
}

void vesk_trace::word(const char* word) {
  put(" ", 1);
  put(word, static_cast<unsigned>(std::strlen(word)));
}

void vesk_trace::number(std::int64_t n) {
  char digits[24];
  const bool negative = n < 0;
  // Built on the unsigned value, so that the lowest number has its digits.
  const unsigned at = decimal(negative ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n), digits);
  put(" ", 1);
  if (negative) put("-", 1);
  put(digits + at, sizeof digits - at);
}

void vesk_trace::openText() {
  textLength_ = 0;
  put(" '", 2);
}

void vesk_trace::textPiece(const char* piece) {
  static const char kHex[] = "0123456789ABCDEF";
  for (const char* c = piece; *c != '\0'; ++c) {
    if (++textLength_ > kTextMax) continue;  // counted, not written
    const auto byte = static_cast<unsigned char>(*c);
    if (plain(byte)) {
      put(c, 1);
    } else if (byte == '\\' || byte == '\'') {
      const char escaped[2] = {'\\', static_cast<char>(byte)};
      put(escaped, 2);
    } else {
      const char escaped[4] = {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
      put(escaped, 4);
    }
  }
}

void vesk_trace::closeText() {
  put("'", 1);
  if (textLength_ <= kTextMax) return;
  char digits[24];
  const unsigned at = decimal(textLength_, digits);
  put("~", 1);
  put(digits + at, sizeof digits - at);
}

void vesk_trace::end() { flush('.'); }

void vesk_trace::header() {
  used_ = 0;
  // Written straight into the line: a header always fits a fresh one.
  const auto append = [this](const char* bytes, unsigned length) {
    std::memcpy(line_ + used_, bytes, length);
    used_ += length;
  };
  append(kMarker, static_cast<unsigned>(std::strlen(kMarker)));
  append(" ", 1);
  append(name_, static_cast<unsigned>(std::strlen(name_)));
  const std::uint64_t numbers[] = {static_cast<std::uint64_t>(instance_), seq_, recordMs_};
  for (const std::uint64_t value : numbers) {
    char digits[24];
    const unsigned at = decimal(value, digits);
    append(" ", 1);
    append(digits + at, sizeof digits - at);
  }
  append(" ", 1);
  partAt_ = used_;
  append(". ", 2);
}

void vesk_trace::put(const char* bytes, unsigned length) {
  // Up to four bytes (an escape) go on one line together; a longer piece
  // byte by byte.
  const unsigned unit = length <= 4 ? length : 1;
  for (unsigned i = 0; i < length; i += unit) {
    if (used_ + unit > kLineMax) {
      // A line never ends in a blank, which some viewers drop.
      const bool carry = used_ > partAt_ + 2 && line_[used_ - 1] == ' ';
      if (carry) --used_;
      flush('+');
      header();
      if (carry) line_[used_++] = ' ';
    }
    std::memcpy(line_ + used_, bytes + i, unit);
    used_ += unit;
  }
}

void vesk_trace::flush(char part) {
  line_[partAt_] = part;
  line_[used_] = '\0';
  vesk_debug_output(line_);
}
