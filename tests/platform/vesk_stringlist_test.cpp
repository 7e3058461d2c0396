// vesk_stringlist: building from a text, appending, joining, value semantics.
#include "platform/vesk_stringlist.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hostside/allocation_counter.h"

namespace {

std::vector<std::string> items(vesk_stringlist& list) {
  std::vector<std::string> out;
  for (vesk_stringlistIterator it = list.begin(); it != list.end(); ++it) out.emplace_back(*it);
  return out;
}

using Items = std::vector<std::string>;

TEST(VeskStringlist, FromSeparatedText) {
  struct Case {
    const char* text;
    Items expected;
  } cases[] = {
      {"", {}},
      {"alm_1", {"alm_1"}},
      {"alm_1,alm_2", {"alm_1", "alm_2"}},
      {"a,,b", {"a", "", "b"}},
      {",a", {"", "a"}},
      {"a,", {"a", ""}},
      {",", {"", ""}},
      {"a b,c", {"a b", "c"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    vesk_stringlist list(c.text, ',');
    EXPECT_EQ(items(list), c.expected);
    EXPECT_EQ(list.count(), c.expected.size());
  }
}

TEST(VeskStringlist, EmptyListHasEqualEnds) {
  vesk_stringlist list;
  EXPECT_TRUE(list.begin() == list.end());
  EXPECT_FALSE(list.begin() != list.end());
  EXPECT_STREQ(list.toString('\n'), "");
}

TEST(VeskStringlist, ToStringJoins) {
  vesk_stringlist one;
  one << "myParam=abc";
  EXPECT_STREQ(one.toString('\n'), "myParam=abc");
  vesk_stringlist three("a,b,c", ',');
  EXPECT_STREQ(three.toString('\n'), "a\nb\nc");
}

TEST(VeskStringlist, GrowsPastInlineItemsAndKeepsValues) {
  vesk_stringlist list;
  Items expected;
  for (int i = 0; i < 40; ++i) {
    const std::string item = "alm_" + std::to_string(i) + std::string(i % 3 == 0 ? 100 : 0, 'z');
    list << item.c_str();
    expected.push_back(item);
  }
  EXPECT_EQ(items(list), expected);

  vesk_stringlist copy(list);
  list << "more";
  EXPECT_EQ(items(copy), expected) << "a copy does not follow its original";

  vesk_stringlist moved(std::move(copy));
  EXPECT_EQ(items(moved), expected);
  EXPECT_EQ(copy.count(), 0u);

  vesk_stringlist small("x,y", ',');
  small = moved;
  EXPECT_EQ(items(small), expected);
  const vesk_stringlist& same = small;
  small = same;  // self-assignment keeps the items
  EXPECT_EQ(items(small), expected);
  vesk_stringlist inlineOnly("p,q", ',');
  small = std::move(inlineOnly);
  EXPECT_EQ(items(small), (Items{"p", "q"}));
  EXPECT_EQ(inlineOnly.count(), 0u);
}

TEST(VeskStringlist, OneShortItemNeedsNoHeap) {
  const std::size_t before = allocationCount();
  vesk_stringlist list;
  list << vesk_string("myParam=%1").arg("abc");
  const vesk_string joined = list.toString('\n');
  EXPECT_EQ(allocationCount(), before);
  EXPECT_STREQ(joined, "myParam=abc");
}

TEST(VeskStringlist, IteratorGivesWritableItems) {
  vesk_stringlist list("a,b", ',');
  for (vesk_stringlistIterator it = list.begin(); it != list.end(); ++it) *it += "!";
  EXPECT_EQ(items(list), (Items{"a!", "b!"}));
}

}  // namespace
