// Input text as Windows and POSIX tools save it, and SHA-256 against the
// standard's known answers.
#include "panelhost/support/input_text.h"

#include <gtest/gtest.h>

#include "panelhost/support/sha256.h"

namespace {

using namespace std::string_literals;

TEST(InputText, MarksAndUtf16) {
  struct Case {
    std::string bytes;
    std::string text;   // when it is read
    std::string error;  // part of the reason when it is not
  } cases[] = {
      {"press SourceSel 5\n", "press SourceSel 5\n", ""},
      {"\xEF\xBB\xBF# first\n", "# first\n", ""},
      {"\xEF\xBB\xBF", "", ""},
      {"", "", ""},
      {"\xFF\xFE#\0 \0\xE9\0\n\0"s, "# \xC3\xA9\n", ""},            // Notepad's "Unicode", PowerShell 5's >
      {"\xFE\xFF\0#\0 \0\xE9\0\n"s, "# \xC3\xA9\n", ""},            // big end first
      {"\xFF\xFE\x3D\xD8\x00\xDE"s, "\xF0\x9F\x98\x80", ""},        // a surrogate pair
      {"\xFF\xFE\xAC\x20"s, "\xE2\x82\xAC", ""},                    // three UTF-8 bytes
      {"\xFF\xFE#\0\n"s, "", "cut short by a byte: save it as UTF-8"},
      {"\xFF\xFE\x3D\xD8#\0"s, "", "half a surrogate pair at byte 3: save it as UTF-8"},
      {"\xFF\xFE\x00\xDE"s, "", "half a surrogate pair"},
      {"\xFF\xFE#\0\0\0"s, "", "NUL character: save it as UTF-8"},
      {"#\0 \0"s, "", "NUL byte at byte 2 (UTF-16 without a byte-order mark, or not text): save it as UTF-8"},
      {"\xEF\xBB\xBFp\0"s, "", "NUL byte at byte 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    const Result<std::string> text = inputText(c.bytes);
    if (c.error.empty()) {
      ASSERT_TRUE(text) << text.error();
      EXPECT_EQ(*text, c.text);
    } else {
      ASSERT_FALSE(text) << *text;
      EXPECT_NE(text.error().find(c.error), std::string::npos) << text.error();
    }
  }
}

TEST(InputText, LinesEndHoweverTheyEnd) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\r\nb\rc\n", {"a", "b", "c"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\n\r\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"a\r", {"a"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
    EXPECT_EQ(splitLines(c.text), c.lines);
  }
}

TEST(Sha256, KnownAnswers) {
  struct Case {
    std::string bytes;
    const char* digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",  // 56 bytes: the padding takes a block
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes.size());
    Sha256 whole;
    whole.add(c.bytes);
    EXPECT_EQ(whole.hex(), c.digest);
    // The same in pieces that straddle the 64-byte blocks.
    Sha256 pieces;
    for (size_t at = 0; at < c.bytes.size(); at += 37) pieces.add(std::string_view(c.bytes).substr(at, 37));
    EXPECT_EQ(pieces.hex(), c.digest);
  }
  EXPECT_FALSE(fileSha256("/no/such/file"));
}

}  // namespace
