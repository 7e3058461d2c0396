// message_parts: splitting message texts in place.
#include "framework/message_parts.h"

#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "framework/empty_text.h"
#include "hostside/allocation_counter.h"

namespace {

struct Expected {
  std::string command;
  std::vector<std::string> subs;
  bool hasValue;
  std::string value;
};

// Every pointer readable: inside the buffer, or the shared empty text.
void expectReadable(const message_parts& parts, const std::string& text) {
  auto inside = [&](const char* p) {
    if (p == vesk_emptyText) return true;
    return parts.buffer != nullptr && p >= parts.buffer && p <= parts.buffer + text.size();
  };
  EXPECT_TRUE(inside(parts.command));
  EXPECT_TRUE(inside(parts.value));
  for (const char* sub : parts.sub) EXPECT_TRUE(inside(sub));
}

std::string dotted(int n, const char* tail) {
  std::string text = "n";
  for (int i = 1; i <= n; ++i) text += "." + std::to_string(i);
  return text + tail;
}

std::vector<std::string> numbers(int from, int to) {
  std::vector<std::string> texts;
  for (int i = from; i <= to; ++i) texts.push_back(std::to_string(i));
  return texts;
}

// `expected` for `text` with `padding` appended: the part that runs to the
// end of the text takes it.
Expected padded(Expected expected, const std::string& padding) {
  if (expected.hasValue) {
    expected.value += padding;
  } else if (!expected.subs.empty()) {
    expected.subs.back() += padding;
  } else {
    expected.command += padding;
  }
  return expected;
}

// Texts under 64 bytes and longer ones take different paths through the
// splitter, so every case runs as it stands and again padded past 64 bytes.
TEST(MessageParts, Splits) {
  struct Case {
    std::string text;
    Expected expected;
  };
  std::vector<std::string> thirtyTwo = numbers(1, 31);
  thirtyTwo.push_back("32=v");
  std::vector<std::string> thirtyTwoOfForty = numbers(1, 31);
  thirtyTwoOfForty.push_back("32.33.34.35.36.37.38.39.40=v");
  std::vector<std::string> emptyThirtyTwo(31, "");
  emptyThirtyTwo.push_back("=v");
  std::vector<std::string> emptyThirtyTwoOfForty(31, "");
  emptyThirtyTwoOfForty.push_back("........=v");
  const Case cases[] = {
      {"button.001=released", {"button", {"001"}, true, "released"}},
      {"return=all", {"return", {}, true, "all"}},
      {"_events", {"_events", {}, false, ""}},
      {"myParam=", {"myParam", {}, true, ""}},
      {"myParam.x=5", {"myParam", {"x"}, true, "5"}},
      {"a=b=c", {"a", {}, true, "b=c"}},
      {"a.b.c=d.e", {"a", {"b", "c"}, true, "d.e"}},
      {"a..b", {"a", {"", "b"}, false, ""}},
      {"a.", {"a", {""}, false, ""}},
      {".a", {"", {"a"}, false, ""}},
      {"=5", {"", {}, true, "5"}},
      {"index=5", {"index", {}, true, "5"}},
      {" a b = c ", {" a b ", {}, true, " c "}},
      {"A.B=C", {"A", {"B"}, true, "C"}},
      // At most 32 sub-fields: the 32nd runs to the end of the text.
      {dotted(31, "=v"), {"n", numbers(1, 31), true, "v"}},
      {dotted(32, "=v"), {"n", thirtyTwo, false, ""}},
      {dotted(40, "=v"), {"n", thirtyTwoOfForty, false, ""}},
      {"n" + std::string(31, '.') + "=v", {"n", std::vector<std::string>(31, ""), true, "v"}},
      {"n" + std::string(32, '.') + "=v", {"n", emptyThirtyTwo, false, ""}},
      {"n" + std::string(40, '.') + "=v", {"n", emptyThirtyTwoOfForty, false, ""}},
  };
  const std::string padding(64, 'p');
  for (const Case& c : cases) {
    for (const Case& form : {c, Case{c.text + padding, padded(c.expected, padding)}}) {
      SCOPED_TRACE(form.text);
      const message_parts parts(form.text.c_str());
      EXPECT_EQ(parts.command, form.expected.command);
      ASSERT_EQ(parts.subCount, static_cast<int>(form.expected.subs.size()));
      for (int k = 0; k < parts.subCount; ++k) EXPECT_EQ(parts.sub[k], form.expected.subs[k]) << k;
      for (int k = parts.subCount; k < message_parts::kMaxSubs; ++k) EXPECT_STREQ(parts.sub[k], "") << k;
      EXPECT_EQ(parts.hasValue, form.expected.hasValue);
      EXPECT_EQ(parts.value, form.expected.value);
      expectReadable(parts, form.text);
    }
  }
}

TEST(MessageParts, NullAndEmptyAllocateNothing) {
  for (const char* text : {static_cast<const char*>(nullptr), ""}) {
    const std::size_t before = allocationCount();
    {
      const message_parts parts(text);
      EXPECT_EQ(parts.buffer, nullptr);
      EXPECT_EQ(parts.command, vesk_emptyText);
      EXPECT_EQ(parts.value, vesk_emptyText);
      EXPECT_EQ(parts.subCount, 0);
      EXPECT_FALSE(parts.hasValue);
    }
    EXPECT_EQ(allocationCount(), before);
  }
}

TEST(MessageParts, OneAllocationAndTheInputIsUntouched) {
  std::string text = "button.001.002=released.now";
  const std::string original = text;
  const std::size_t before = allocationCount();
  const message_parts parts(text.c_str());
  EXPECT_EQ(allocationCount(), before + 1);
  EXPECT_EQ(text, original);
  text.assign(text.size(), '#');  // the parts live in their own copy
  EXPECT_STREQ(parts.command, "button");
  EXPECT_STREQ(parts.value, "released.now");
}

TEST(MessageParts, IsNeverCopied) {
  EXPECT_FALSE(std::is_copy_constructible<message_parts>::value);
  EXPECT_FALSE(std::is_copy_assignable<message_parts>::value);
}

}  // namespace
