// command_text: one host command built from its pieces, which knows whether
// the heap held all of it.
//
// A command with long operands needs a heap block; if the heap cannot supply
// one, the text is cut short. Such a command must never reach the host (it
// would act on what is left of it, say "VID_2'"), so the sender asks
// `whole()` first and drops a command that is not.
#pragma once

#include <initializer_list>

#include "platform/vesk_string.h"

class command_text {
 public:
  // Starts the text with `verb` (static text, e.g. "TP"); the caller appends
  // the operands with their blanks.
  explicit command_text(const char* verb);

  command_text& operator+=(const char* piece);
  command_text& operator+=(const vesk_string& piece);
  // `n` in plain decimal.
  command_text& operator+=(int n);
  // Each piece in turn, as by +=.
  template <typename... Pieces>
  command_text& append(const Pieces&... pieces) {
    ((*this += pieces), ...);
    return *this;
  }

  // True when every piece appended is in the text.
  bool whole() const { return text_.length() == expected_; }
  const char* verb() const { return verb_; }
  operator const char*() const { return text_; }  // NOLINT(google-explicit-constructor)

 private:
  const char* verb_;
  vesk_string text_;
  unsigned long long expected_;
};

// "<verb> '<first>' '<second>' ...": text operands in apostrophes, copied
// byte for byte, with no quoting or escaping.
command_text quotedCommand(const char* verb, std::initializer_list<const vesk_string*> operands);
