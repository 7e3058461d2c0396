// vesk_string: storage, conversions, comparisons, markers and splitting.
#include "platform/vesk_string.h"

#include <climits>
#include <cstring>
#include <new>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Accumulates decimal digits from `p`, saturating at `limit`; stores the end.
unsigned long long readDigits(const char* p, unsigned long long limit, const char** end) {
  unsigned long long value = 0;
  for (; isDigit(*p); ++p) {
    value = value * 10 + static_cast<unsigned>(*p - '0');
    if (value > limit) value = limit + 1;  // stays above the limit, never wraps
  }
  *end = p;
  return value;
}

// `built` when it holds `expected` bytes, else the empty text: a text that
// was built in several steps, one of which the heap could not supply, is
// never handed out half made.
vesk_string wholeOrEmpty(vesk_string&& built, unsigned long long expected) {
  if (built.length() == expected) return static_cast<vesk_string&&>(built);
  return vesk_string();
}

// Marker digit ('1'..'9') at text[i], or 0 when text[i] does not start one.
char markerAt(const char* text, unsigned i, unsigned length) {
  if (text[i] != '%' || i + 1 >= length) return 0;
  char d = text[i + 1];
  return (d >= '1' && d <= '9') ? d : 0;
}

}  // namespace

vesk_string::vesk_string() noexcept : data_(inline_), length_(0), capacity_(kInlineCapacity) {
  inline_[0] = '\0';
}

vesk_string::vesk_string(const char* text) : vesk_string() {
  if (text != nullptr) assign(text, static_cast<unsigned>(std::strlen(text)));
}

vesk_string::vesk_string(const char* text, unsigned length) : vesk_string() {
  assign(text, length);
}

vesk_string::vesk_string(int n, char fill, unsigned int width, int base) : vesk_string() {
  if (base < 2 || base > 36) base = 10;
  char digits[40];  // 32 binary digits and a sign at the most
  unsigned count = 0;
  unsigned magnitude = n < 0 ? 0u - static_cast<unsigned>(n) : static_cast<unsigned>(n);
  do {
    unsigned d = magnitude % static_cast<unsigned>(base);
    digits[count++] = static_cast<char>(d < 10 ? '0' + d : 'a' + (d - 10));
    magnitude /= static_cast<unsigned>(base);
  } while (magnitude != 0);
  if (n < 0) digits[count++] = '-';

  const char pad = fill == 0 ? ' ' : fill;
  if (width > count) {
    // Padding first; the digits follow (they are stored in reverse).
    vesk_string padding;
    for (unsigned i = count; i < width; ++i) padding.append(&pad, 1);
    *this = static_cast<vesk_string&&>(padding);
  }
  char ordered[40];
  for (unsigned i = 0; i < count; ++i) ordered[i] = digits[count - 1 - i];
  append(ordered, count);
  if (length_ != (width > count ? width : count)) release();
}

vesk_string::vesk_string(const vesk_string& other) : vesk_string() {
  assign(other.data_, other.length_);
}

vesk_string::vesk_string(vesk_string&& other) noexcept : vesk_string() {
  *this = static_cast<vesk_string&&>(other);
}

vesk_string::~vesk_string() { release(); }

vesk_string& vesk_string::operator=(const char* text) {
  if (text == nullptr) {
    assign("", 0);
  } else {
    assign(text, static_cast<unsigned>(std::strlen(text)));
  }
  return *this;
}

vesk_string& vesk_string::operator=(const vesk_string& other) {
  if (this != &other) assign(other.data_, other.length_);
  return *this;
}

vesk_string& vesk_string::operator=(vesk_string&& other) noexcept {
  if (this == &other) return *this;
  if (other.isInline()) {
    assign(other.data_, other.length_);  // fits inline: never allocates
  } else {
    release();
    data_ = other.data_;
    length_ = other.length_;
    capacity_ = other.capacity_;
    other.data_ = other.inline_;
    other.capacity_ = kInlineCapacity;
  }
  other.length_ = 0;
  other.data_[0] = '\0';
  return *this;
}

vesk_string& vesk_string::operator+=(const char* text) {
  if (text != nullptr) append(text, static_cast<unsigned>(std::strlen(text)));
  return *this;
}

vesk_string& vesk_string::operator+=(const vesk_string& other) {
  append(other.data_, other.length_);
  return *this;
}

bool vesk_string::operator==(const char* text) const {
  if (text == nullptr) return length_ == 0;
  return std::strlen(text) == length_ && std::memcmp(data_, text, length_) == 0;
}

bool vesk_string::operator==(const vesk_string& other) const {
  return length_ == other.length_ && std::memcmp(data_, other.data_, length_) == 0;
}

bool vesk_string::operator==(int n) const {
  const char* p = data_;
  const bool negative = *p == '-';
  if (negative) ++p;
  if (!isDigit(*p)) return false;
  const unsigned long long limit = negative ? 2147483648ULL : 2147483647ULL;
  const char* end = nullptr;
  const unsigned long long magnitude = readDigits(p, limit, &end);
  if (*end != '\0' || magnitude > limit) return false;
  const long long value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
  return value == n;
}

int vesk_string::toInt() const {
  const char* p = data_;
  while (isSpace(*p)) ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  const unsigned long long limit = negative ? 2147483648ULL : 2147483647ULL;
  const char* end = nullptr;
  unsigned long long magnitude = readDigits(p, limit, &end);
  if (magnitude > limit) magnitude = limit;
  return negative ? static_cast<int>(-static_cast<long long>(magnitude)) : static_cast<int>(magnitude);
}

int vesk_string::firstInt() const {
  const char* p = data_;
  while (*p != '\0' && !isDigit(*p)) ++p;
  const char* end = nullptr;
  const unsigned long long magnitude = readDigits(p, INT_MAX, &end);
  return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

vesk_string vesk_string::arg(const vesk_string& text) const {
  char lowest = 0;
  for (unsigned i = 0; i < length_; ++i) {
    const char d = markerAt(data_, i, length_);
    if (d != 0 && (lowest == 0 || d < lowest)) lowest = d;
  }
  if (lowest == 0) return *this;

  vesk_string result;
  unsigned long long expected = 0;
  unsigned copiedTo = 0;
  for (unsigned i = 0; i < length_; ++i) {
    if (markerAt(data_, i, length_) != lowest) continue;
    result.append(data_ + copiedTo, i - copiedTo);
    result.append(text.data_, text.length_);
    expected += (i - copiedTo) + text.length_;
    copiedTo = i + 2;
    ++i;
  }
  result.append(data_ + copiedTo, length_ - copiedTo);
  expected += length_ - copiedTo;
  return wholeOrEmpty(static_cast<vesk_string&&>(result), expected);
}

vesk_string vesk_string::arg(int n, char fill, unsigned int width, int base) const {
  return arg(vesk_string(n, fill, width, base));
}

int vesk_string::split(char separator, vesk_string& left, vesk_string& right) const {
  const void* found = std::memchr(data_, separator, length_);
  if (found == nullptr) {
    left = *this;
    right = "";
    return -1;
  }
  const unsigned at = static_cast<unsigned>(static_cast<const char*>(found) - data_);
  // Built apart first: left or right may be this string.
  vesk_string before(data_, at);
  vesk_string after(data_ + at + 1, length_ - at - 1);
  left = static_cast<vesk_string&&>(before);
  right = static_cast<vesk_string&&>(after);
  return static_cast<int>(at);
}

void vesk_string::assign(const char* text, unsigned length) {
  if (length > capacity_) {
    // A fresh block, filled before the old one goes: `text` may lie in it.
    char* block = new (std::nothrow) char[static_cast<unsigned long long>(length) + 1];
    if (block == nullptr) {
      release();
      return;
    }
    std::memcpy(block, text, length);
    release();
    data_ = block;
    capacity_ = length;
  } else {
    std::memmove(data_, text, length);
  }
  data_[length] = '\0';
  length_ = length;
}

void vesk_string::append(const char* text, unsigned length) {
  if (length == 0) return;
  const unsigned long long total = static_cast<unsigned long long>(length_) + length;
  if (total > 0xFFFFFFFEULL) return;  // no text of 4 GiB; nothing is appended
  if (total > capacity_) {
    unsigned long long capacity = static_cast<unsigned long long>(capacity_) * 2;
    if (capacity < total) capacity = total;
    if (capacity > 0xFFFFFFFEULL) capacity = total;
    char* block = new (std::nothrow) char[capacity + 1];
    if (block == nullptr) {
      release();
      return;
    }
    // `text` may lie in the old block: copy it before that block goes.
    std::memcpy(block, data_, length_);
    std::memcpy(block + length_, text, length);
    const unsigned keep = length_;
    release();
    data_ = block;
    capacity_ = static_cast<unsigned>(capacity);
    length_ = keep;
  } else {
    std::memmove(data_ + length_, text, length);
  }
  length_ = static_cast<unsigned>(total);
  data_[length_] = '\0';
}

void vesk_string::release() {
  if (!isInline()) delete[] data_;
  data_ = inline_;
  capacity_ = kInlineCapacity;
  length_ = 0;
  inline_[0] = '\0';
}

vesk_string operator+(const vesk_string& left, const char* right) {
  vesk_string result(left);
  result += right;
  const unsigned long long rightLength = right == nullptr ? 0 : std::strlen(right);
  return wholeOrEmpty(static_cast<vesk_string&&>(result), left.length() + rightLength);
}

vesk_string operator+(const char* left, const vesk_string& right) {
  vesk_string result(left);
  result += right;
  const unsigned long long leftLength = left == nullptr ? 0 : std::strlen(left);
  return wholeOrEmpty(static_cast<vesk_string&&>(result), leftLength + right.length());
}

vesk_string operator+(const vesk_string& left, const vesk_string& right) {
  vesk_string result(left);
  result += right;
  return wholeOrEmpty(static_cast<vesk_string&&>(result),
                      static_cast<unsigned long long>(left.length()) + right.length());
}
