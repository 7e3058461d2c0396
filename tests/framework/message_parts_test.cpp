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

TEST(MessageParts, Splits) {
  struct Case {
    std::string text;
    Expected expected;
  } cases[] = {
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
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const message_parts parts(c.text.c_str());
    EXPECT_EQ(parts.command, c.expected.command);
    ASSERT_EQ(parts.subCount, static_cast<int>(c.expected.subs.size()));
    for (int k = 0; k < parts.subCount; ++k) EXPECT_EQ(parts.sub[k], c.expected.subs[k]) << k;
    for (int k = parts.subCount; k < message_parts::kMaxSubs; ++k) EXPECT_STREQ(parts.sub[k], "") << k;
    EXPECT_EQ(parts.hasValue, c.expected.hasValue);
    EXPECT_EQ(parts.value, c.expected.value);
    expectReadable(parts, c.text);
  }
}

TEST(MessageParts, ThirtyTwoSubFieldsAtMost) {
  {
    const std::string text = dotted(31, "=v");
    const message_parts parts(text.c_str());
    ASSERT_EQ(parts.subCount, 31);
    for (int k = 0; k < 31; ++k) EXPECT_EQ(parts.sub[k], std::to_string(k + 1));
    EXPECT_TRUE(parts.hasValue);
    EXPECT_STREQ(parts.value, "v");
  }
  {
    const std::string text = dotted(32, "=v");
    const message_parts parts(text.c_str());
    ASSERT_EQ(parts.subCount, 32);
    EXPECT_STREQ(parts.sub[30], "31");
    EXPECT_STREQ(parts.sub[31], "32=v");
    EXPECT_FALSE(parts.hasValue);
    EXPECT_STREQ(parts.value, "");
  }
  {
    const std::string text = dotted(40, "=v");
    const message_parts parts(text.c_str());
    EXPECT_EQ(parts.subCount, 32);
    EXPECT_STREQ(parts.sub[31], "32.33.34.35.36.37.38.39.40=v");
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
