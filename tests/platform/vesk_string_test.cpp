// vesk_string: value semantics, conversions, comparisons, markers, split.
#include "platform/vesk_string.h"

#include <climits>
#include <string>
#include <type_traits>

#include <gtest/gtest.h>

#include "hostside/allocation_counter.h"

namespace {

std::string str(const vesk_string& s) { return std::string(static_cast<const char*>(s), s.length()); }

const std::string kLong(200, 'x');  // past the inline capacity

TEST(VeskString, ValueSemantics) {
  static_assert(std::is_copy_constructible<vesk_string>::value, "a value type");
  static_assert(std::is_nothrow_move_constructible<vesk_string>::value, "moves never fail");
  static_assert(std::has_virtual_destructor<vesk_string>::value, "the library's destructor is virtual");

  for (const std::string& text : {std::string("short"), kLong}) {
    SCOPED_TRACE(text.size());
    vesk_string original(text.c_str());
    vesk_string copy(original);
    original += "!";
    EXPECT_EQ(str(copy), text) << "a copy does not follow its original";

    vesk_string assigned;
    assigned = copy;
    const vesk_string& same = assigned;
    assigned = same;  // self-assignment keeps the text
    EXPECT_EQ(str(assigned), text);

    vesk_string moved(std::move(assigned));
    EXPECT_EQ(str(moved), text);
    EXPECT_EQ(assigned.length(), 0u) << "moved-from is empty";
    EXPECT_STREQ(assigned, "");
    assigned = "reused";  // a moved-from string is usable
    EXPECT_EQ(str(assigned), "reused");

    vesk_string& alias = moved;
    moved = std::move(alias);  // self-move keeps the text
    EXPECT_EQ(str(moved), text);
  }
}

TEST(VeskString, CopyOfTemporaryOutlivesIt) {
  vesk_string* copy = nullptr;
  {
    vesk_string temporary(kLong.c_str());
    copy = new vesk_string(temporary + "-tail");
  }
  EXPECT_EQ(str(*copy), kLong + "-tail");
  delete copy;
}

TEST(VeskString, NullAndEmptyTexts) {
  EXPECT_EQ(vesk_string(static_cast<const char*>(nullptr)).length(), 0u);
  vesk_string s("abc");
  s = static_cast<const char*>(nullptr);
  EXPECT_STREQ(s, "");
  EXPECT_TRUE(vesk_string() == "");
  EXPECT_TRUE(vesk_string() == static_cast<const char*>(nullptr));
}

TEST(VeskString, ShortTextsStayOffTheHeap) {
  const std::size_t before = allocationCount();
  vesk_string command("TP '");
  command += "statesheet=ZRGroupDeselected";
  command += "' '1' 'BG_Mon";
  command += vesk_string(1, 0, 0, 10);
  command += "'";
  vesk_string copy(command);
  vesk_string moved(std::move(copy));
  EXPECT_EQ(allocationCount(), before);
  EXPECT_EQ(str(moved), "TP 'statesheet=ZRGroupDeselected' '1' 'BG_Mon1'");
}

TEST(VeskString, AppendingGrowsAndMayReadItself) {
  vesk_string s("ab");
  for (int i = 0; i < 8; ++i) s += s;  // 512 bytes, crossing to the heap
  EXPECT_EQ(s.length(), 512u);
  EXPECT_EQ(str(s).find_first_not_of("ab"), std::string::npos);
  EXPECT_EQ(str(s).substr(0, 4), "abab");

  vesk_string tail(kLong.c_str());
  tail = static_cast<const char*>(tail) + 100;  // assign from inside itself
  EXPECT_EQ(str(tail), std::string(100, 'x'));
}

TEST(VeskString, Concatenation) {
  const vesk_string a("ab");
  const vesk_string b("cd");
  EXPECT_EQ(str(a + "x"), "abx");
  EXPECT_EQ(str("x" + a), "xab");
  EXPECT_EQ(str(a + b), "abcd");
  EXPECT_EQ(str("BG_Mon" + vesk_string(3, 0, 0, 10)), "BG_Mon3");
}

TEST(VeskString, NumberConstructor) {
  struct Case {
    int n;
    char fill;
    unsigned width;
    int base;
    const char* text;
  } cases[] = {
      {4, 0, 0, 10, "4"},          {0, 0, 0, 10, "0"},
      {-17, 0, 0, 10, "-17"},      {409, 0, 0, 10, "409"},
      {INT_MAX, 0, 0, 10, "2147483647"},
      {INT_MIN, 0, 0, 10, "-2147483648"},
      {7, '0', 3, 10, "007"},      {7, 0, 3, 10, "  7"},
      {1234, '0', 2, 10, "1234"},  {255, 0, 0, 16, "ff"},
      {5, 0, 0, 2, "101"},         {12, 0, 0, 1, "12"},  // bad base means 10
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(str(vesk_string(c.n, c.fill, c.width, c.base)), c.text);
  }
}

TEST(VeskString, EqualsNumberOnlyForTheWholeText) {
  struct Case {
    const char* text;
    int n;
    bool equal;
  } cases[] = {
      {"1", 1, true},      {"2", 1, false},    {"01", 1, true},     {"01x", 1, false},
      {" 1", 1, false},    {"1 ", 1, false},   {"", 0, false},      {"-", 0, false},
      {"-3", -3, true},    {"+3", 3, false},   {"abc", 0, false},   {"0", 0, true},
      {"2147483647", INT_MAX, true},           {"-2147483648", INT_MIN, true},
      {"2147483648", INT_MIN, false},          {"4294967297", 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("\"") + c.text + "\" == " + std::to_string(c.n));
    EXPECT_EQ(vesk_string(c.text) == c.n, c.equal);
  }
}

TEST(VeskString, TextComparisons) {
  EXPECT_TRUE(vesk_string("Mon_1") == "Mon_1");
  EXPECT_FALSE(vesk_string("Mon_1") == "Mon_");
  EXPECT_FALSE(vesk_string("Mon_") == "Mon_1");
  EXPECT_FALSE(vesk_string("mon_1") == "Mon_1");
  EXPECT_TRUE(vesk_string("a") != vesk_string("b"));
  EXPECT_FALSE(vesk_string("a") != vesk_string("a"));
  EXPECT_TRUE(vesk_string("a") == vesk_string("a"));
}

TEST(VeskString, ToInt) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {
      {"5", 5},           {"-12", -12},     {" 42", 42},        {"+7", 7},
      {"7abc", 7},        {"", 0},          {"abc", 0},         {"-", 0},
      {"99999999999", INT_MAX},             {"-99999999999", INT_MIN},
      {"2147483647", INT_MAX},              {"-2147483648", INT_MIN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const vesk_string s(c.text);
    EXPECT_EQ(s.toInt(), c.value);
    EXPECT_EQ(static_cast<int>(s), c.value);
  }
}

TEST(VeskString, FirstInt) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {
      {"Mon_2", 2}, {"a12b3", 12}, {"x-4", 4}, {"none", 0}, {"", 0}, {"7", 7}, {"n99999999999", INT_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(vesk_string(c.text).firstInt(), c.value);
  }
}

TEST(VeskString, ArgReplacesTheLowestMarkerLeft) {
  struct Case {
    const char* format;
    const char* text;
    const char* result;
  } cases[] = {
      {"SD '%1'", "ZIR SDI Router", "SD 'ZIR SDI Router'"},
      {"%2 then %1", "a", "%2 then a"},
      {"%1=%1", "k", "k=k"},            // every occurrence of that marker
      {"no markers", "a", "no markers"},
      {"%0 %a %", "a", "%0 %a %"},      // not markers
      {"%10", "a", "a0"},               // one digit: %1 then '0'
      {"%%1", "a", "%a"},
      {"%3%9", "x", "x%9"},
      {"v=%1", "100%2", "v=100%2"},     // inserted text is not scanned
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(str(vesk_string(c.format).arg(c.text)), c.result);
  }
  EXPECT_EQ(str(vesk_string("RC %1 %2").arg(12, 0, 0, 10).arg(-5, 0, 0, 10)), "RC 12 -5");
}

TEST(VeskString, Split) {
  struct Case {
    const char* text;
    const char* left;
    const char* right;
    int at;
  } cases[] = {
      {"value=3", "value", "3", 5}, {"a=b=c", "a", "b=c", 1}, {"abc", "abc", "", -1},
      {"=x", "", "x", 0},           {"x=", "x", "", 1},       {"", "", "", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    vesk_string left("old");
    vesk_string right("old");
    EXPECT_EQ(vesk_string(c.text).split('=', left, right), c.at);
    EXPECT_EQ(str(left), c.left);
    EXPECT_EQ(str(right), c.right);
  }
  vesk_string self("key=value");
  vesk_string right;
  self.split('=', self, right);  // the output may be the string itself
  EXPECT_EQ(str(self), "key");
  EXPECT_EQ(str(right), "value");
}

}  // namespace
