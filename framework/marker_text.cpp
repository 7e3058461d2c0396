// fillMarkers: one-pass marker substitution.
#include "framework/internal/marker_text.h"

namespace {

// Marker digit (1..9) starting at text[i], or 0.
int markerAt(const char* text, unsigned i, unsigned length) {
  if (text[i] != '%' || i + 1 >= length) return 0;
  const char d = text[i + 1];
  return (d >= '1' && d <= '9') ? d - '0' : 0;
}

}  // namespace

vesk_string fillMarkers(const vesk_string& format, const vesk_string* const* args, int argCount) {
  const char* text = format;
  const unsigned length = format.length();

  bool present[10] = {};
  for (unsigned i = 0; i < length; ++i) present[markerAt(text, i, length)] = true;
  // Successive arg calls give the k-th lowest marker number present the k-th
  // argument.
  int argFor[10];
  int next = 0;
  for (int d = 1; d <= 9; ++d) argFor[d] = present[d] ? next++ : -1;

  vesk_string result;
  unsigned long long expected = 0;
  unsigned copiedTo = 0;
  for (unsigned i = 0; i < length; ++i) {
    const int d = markerAt(text, i, length);
    if (d == 0 || argFor[d] >= argCount) continue;
    result += vesk_string(text + copiedTo, i - copiedTo);
    result += *args[argFor[d]];
    expected += (i - copiedTo) + args[argFor[d]]->length();
    copiedTo = i + 2;
    ++i;
  }
  result += vesk_string(text + copiedTo, length - copiedTo);
  expected += length - copiedTo;
  if (result.length() != expected) return vesk_string();  // the heap could not hold it whole
  return result;
}
