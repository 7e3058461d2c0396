// Plain reference models of the two splitters, written from their documented
// rules with std::string and no in-place cutting, for the fuzzers to compare
// the real splitters against.
#pragma once

#include <string>
#include <vector>

// What message_parts should make of `text` (the bytes before its first zero).
struct ReferenceMessage {
  std::string command;
  std::vector<std::string> subs;
  std::string value;
  bool hasValue = false;
};
ReferenceMessage referenceMessage(const std::string& text);

// The tokens decodeVESKString should make of `reply` with `quote`.
std::vector<std::string> referenceTokens(const std::string& reply, char quote);
