// decodeVESKString: splits a host reply into at most 32 blank-separated
// tokens, a stretch between quote characters counting as one token.
//
// Examples with the apostrophe as quote (count: tokens):
//   "12 3"              -> 2: "12", "3"
//   "12  3  "           -> 2: "12", "3"           runs of blanks separate once
//   " 12 3"             -> 3: "", "12", "3"       token 0 starts at character 0
//   "'12' 3"            -> 3: "", "12", "3"
//   "12 'two words' 5"  -> 3: "12", "two words", "5"
//   "ab'cd ef'g"        -> 3: "ab", "cd ef", "g"  a quote always separates
//   "a '' b"            -> 3: "a", "", "b"        an empty stretch is a token
//   "'a''b'"            -> 3: "", "a", "b"        no escape: '' splits
//   "'abc def"          -> 2: "", "abc def"       an open stretch runs to the end
//   " "                 -> 1: ""
//   null or ""          -> 0
// A 33rd token ends the scan: count stays 32 and the rest is ignored. Only the
// blank (32) separates; tabs and line ends are ordinary characters.
#pragma once

#include <cstdint>

class decodeVESKString {
 public:
  static constexpr int kMaxTokens = 32;

  // Splits `reply` (may be null; need not outlive the construction). One heap
  // block at the most: the copy in `buffer`. If the heap cannot supply it the
  // result is that of the empty reply.
  decodeVESKString(const char* reply, char quote);
  // Frees `buffer`; every token dies with it.
  virtual ~decodeVESKString();
  // Never copied: the tokens would lead into another object's buffer.
  decodeVESKString(const decodeVESKString&) = delete;
  decodeVESKString& operator=(const decodeVESKString&) = delete;

  // Every entry is readable and never null, also at k >= count: an entry
  // that holds no token points at the shared empty text.
  const char* tokens[kMaxTokens];
  std::int32_t count;  // 0 to 32
  char* buffer;        // owned copy, split in place; null for null or ""
  char quote;
};
