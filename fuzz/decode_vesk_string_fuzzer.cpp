// Fuzzes decodeVESKString: the first input byte is the quote character, the
// rest the reply. Every result must equal the reference model's, and every
// token must stay readable inside the object's own buffer or be the shared
// empty text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/decode_vesk_string.h"
#include "framework/empty_text.h"
#include "fuzz/exact_text.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/reference_splitters.h"

namespace {

void checkTokens(const char* reply, char quote) {
  const decodeVESKString decoded(reply, quote);
  const std::string input = reply == nullptr ? std::string() : std::string(reply);
  const std::size_t length = input.size();

  FUZZ_CHECK(decoded.quote == quote);
  FUZZ_CHECK(decoded.count >= 0 && decoded.count <= decodeVESKString::kMaxTokens);
  FUZZ_CHECK((decoded.buffer == nullptr) == (length == 0));
  if (length > 0) FUZZ_CHECK(decoded.tokens[0] == decoded.buffer);
  for (const char* token : decoded.tokens) FUZZ_CHECK(entryInside(token, decoded.buffer, length));

  const std::vector<std::string> expected = referenceTokens(input, quote);
  FUZZ_CHECK(static_cast<std::size_t>(decoded.count) == expected.size());
  for (int k = 0; k < decodeVESKString::kMaxTokens; ++k) {
    if (k < decoded.count) {
      FUZZ_CHECK(expected[static_cast<std::size_t>(k)] == decoded.tokens[k]);
    } else {
      FUZZ_CHECK(decoded.tokens[k] == vesk_emptyText);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    checkTokens(nullptr, '\'');
    checkTokens("", '\'');
    return 0;
  }
  const char quote = static_cast<char>(data[0]);
  const ExactText reply(data + 1, size - 1);
  checkTokens(reply.get(), quote);
  return 0;
}
