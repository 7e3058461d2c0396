// Fuzzes message_parts: every result must equal the reference model's, and
// every entry must stay readable inside the record's own buffer or be the
// shared empty text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "framework/empty_text.h"
#include "framework/message_parts.h"
#include "fuzz/exact_text.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/reference_splitters.h"

namespace {

bool same(const char* entry, const std::string& expected) { return expected == entry; }

void checkSplit(const char* text) {
  const message_parts parts(text);
  const std::string input = text == nullptr ? std::string() : std::string(text);
  const std::size_t length = input.size();

  FUZZ_CHECK(parts.subCount >= 0 && parts.subCount <= message_parts::kMaxSubs);
  FUZZ_CHECK((parts.buffer == nullptr) == (length == 0));
  FUZZ_CHECK(length == 0 ? parts.command == vesk_emptyText : parts.command == parts.buffer);
  FUZZ_CHECK(entryInside(parts.command, parts.buffer, length));
  FUZZ_CHECK(entryInside(parts.value, parts.buffer, length));
  for (const char* entry : parts.sub) FUZZ_CHECK(entryInside(entry, parts.buffer, length));

  const ReferenceMessage expected = referenceMessage(input);
  FUZZ_CHECK(same(parts.command, expected.command));
  FUZZ_CHECK(static_cast<std::size_t>(parts.subCount) == expected.subs.size());
  for (int k = 0; k < message_parts::kMaxSubs; ++k) {
    if (k < parts.subCount) {
      FUZZ_CHECK(same(parts.sub[k], expected.subs[static_cast<std::size_t>(k)]));
    } else {
      FUZZ_CHECK(parts.sub[k] == vesk_emptyText);
    }
  }
  FUZZ_CHECK(parts.hasValue == expected.hasValue);
  FUZZ_CHECK(same(parts.value, expected.value));
  if (!parts.hasValue) FUZZ_CHECK(parts.value == vesk_emptyText);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    checkSplit(nullptr);
    checkSplit("");
    return 0;
  }
  const ExactText text(data, size);
  checkSplit(text.get());
  return 0;
}
