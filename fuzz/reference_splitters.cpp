// Reference splitters: the message and reply rules, one readable step at a
// time.
#include "fuzz/reference_splitters.h"

namespace {
constexpr std::size_t kMaxEntries = 32;
}  // namespace

// The name runs to the first '.' or '='. Each '.' opens a sub-field that runs
// to the next '.' or '='; the first '=' opens the value, which runs to the
// end. Taking the 32nd sub-field ends the split, so it keeps the whole rest.
ReferenceMessage referenceMessage(const std::string& text) {
  ReferenceMessage message;
  std::size_t cut = text.find_first_of(".=");
  message.command = text.substr(0, cut);
  while (cut != std::string::npos) {
    if (text[cut] == '=') {
      message.hasValue = true;
      message.value = text.substr(cut + 1);
      break;
    }
    const std::size_t start = cut + 1;
    cut = message.subs.size() + 1 == kMaxEntries ? std::string::npos : text.find_first_of(".=", start);
    message.subs.push_back(text.substr(start, cut == std::string::npos ? std::string::npos : cut - start));
  }
  return message;
}

// Token 0 begins at the first character. Blanks outside a quoted stretch and
// every quote character are cuts; a character right after a cut begins a new
// token, and so does a quote that closes an empty stretch (an empty token).
// The 33rd token to begin ends the scan.
std::vector<std::string> referenceTokens(const std::string& reply, char quote) {
  std::vector<std::string> tokens;
  if (reply.empty()) return tokens;
  tokens.emplace_back();
  bool quoted = false;
  bool afterCut = false;  // the previous character was a cut
  for (const char c : reply) {
    const bool isQuote = c == quote;
    const bool cut = isQuote || (c == ' ' && !quoted);
    const bool begins = isQuote ? quoted && afterCut : !cut && afterCut;
    if (isQuote) quoted = !quoted;
    if (begins) {
      if (tokens.size() == kMaxEntries) break;
      tokens.emplace_back();
    }
    if (!cut) tokens.back() += c;
    afterCut = cut;
  }
  return tokens;
}
