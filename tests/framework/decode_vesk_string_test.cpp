// decodeVESKString: tokenizing host replies in place.
#include "framework/decode_vesk_string.h"

#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "framework/empty_text.h"
#include "hostside/allocation_counter.h"

namespace {

using Tokens = std::vector<std::string>;

Tokens tokensOf(const decodeVESKString& decoded) {
  Tokens out;
  for (int k = 0; k < decoded.count; ++k) out.emplace_back(decoded.tokens[k]);
  return out;
}

std::string words(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i) text += (i > 1 ? " w" : "w") + std::to_string(i);
  return text;
}

TEST(DecodeVeskString, SplitsWithApostrophes) {
  struct Case {
    std::string reply;
    Tokens tokens;
  } cases[] = {
      {"12 3", {"12", "3"}},
      {"12", {"12"}},
      {"12  3  ", {"12", "3"}},
      {" 12 3", {"", "12", "3"}},
      {"'12' 3", {"", "12", "3"}},
      {"12 'two words' 5", {"12", "two words", "5"}},
      {"ab'cd ef'g", {"ab", "cd ef", "g"}},
      {"a '' b", {"a", "", "b"}},
      // Blanks inside a stretch are its own, also at its start or alone.
      {"' a'", {"", " a"}},
      {"a ' ' b", {"a", " ", "b"}},
      {"a '  b ' c", {"a", "  b ", "c"}},
      {"'  '", {"", "  "}},
      {"''", {"", ""}},
      {"'a''b'", {"", "a", "b"}},
      {"'abc def", {"", "abc def"}},
      {" ", {""}},
      {"a\tb\nc", {"a\tb\nc"}},  // only the blank separates
      {"\"a b\"", {"\"a", "b\""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    const decodeVESKString decoded(c.reply.c_str(), '\'');
    EXPECT_EQ(tokensOf(decoded), c.tokens);
    for (int k = decoded.count; k < decodeVESKString::kMaxTokens; ++k) {
      EXPECT_EQ(decoded.tokens[k], vesk_emptyText) << k;
    }
  }
}

TEST(DecodeVeskString, QuoteCharacterIsTheCallers) {
  struct Case {
    char quote;
    std::string reply;
    Tokens tokens;
  } cases[] = {
      {'"', "'a b' \"c d\"", {"'a", "b'", "c d"}},
      // A blank quote opens and closes stretches by turns; a stretch closed
      // at once gives an empty token.
      {' ', "a b c", {"a", "b", "c"}},
      {' ', "a  b", {"a", "", "b"}},
      {' ', "a   b", {"a", "", "b"}},
      {' ', " a", {"", "a"}},
      {' ', "it's 'x'", {"it's", "'x'"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(1, c.quote) + c.reply);
    const decodeVESKString decoded(c.reply.c_str(), c.quote);
    EXPECT_EQ(tokensOf(decoded), c.tokens);
    EXPECT_EQ(decoded.quote, c.quote);
  }
}

TEST(DecodeVeskString, ThirtyTwoTokensAtMost) {
  const decodeVESKString exact(words(32).c_str(), '\'');
  EXPECT_EQ(exact.count, 32);
  EXPECT_STREQ(exact.tokens[31], "w32");

  const decodeVESKString more(words(40).c_str(), '\'');
  EXPECT_EQ(more.count, 32);
  EXPECT_STREQ(more.tokens[0], "w1");
  EXPECT_STREQ(more.tokens[31], "w32");
}

TEST(DecodeVeskString, NullAndEmptyGiveNoTokens) {
  for (const char* reply : {static_cast<const char*>(nullptr), ""}) {
    const std::size_t before = allocationCount();
    {
      const decodeVESKString decoded(reply, '\'');
      EXPECT_EQ(decoded.count, 0);
      EXPECT_EQ(decoded.buffer, nullptr);
      EXPECT_STREQ(decoded.tokens[0], "");
      EXPECT_STREQ(decoded.tokens[1], "");
    }
    EXPECT_EQ(allocationCount(), before);
  }
}

TEST(DecodeVeskString, OneAllocationAndNeverCopied) {
  const std::size_t before = allocationCount();
  const decodeVESKString decoded("17 0 'ZIR SDI Router'", '\'');
  EXPECT_EQ(allocationCount(), before + 1);
  EXPECT_EQ(decoded.count, 3);
  EXPECT_FALSE(std::is_copy_constructible<decodeVESKString>::value);
  EXPECT_TRUE(std::has_virtual_destructor<decodeVESKString>::value);
}

}  // namespace
