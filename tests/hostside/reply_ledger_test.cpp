// The reply ledger: each block handed out comes back once, and nothing else
// is taken for one.
#include "hostside/reply_ledger.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(ReplyLedger, TakesEachBlockBackOnceAndNothingElse) {
  ReplyLedger ledger;
  const char* first = ledger.handOut("9 0");
  const char* second = ledger.handOut(std::string("a\0b", 3));  // a zero inside ends the text
  EXPECT_STREQ(first, "9 0");
  EXPECT_NE(first, second);
  EXPECT_EQ(ledger.outstanding(), 2u);

  const char notOurs[] = "9 0";
  EXPECT_EQ(ledger.takeBack(notOurs), std::nullopt) << "equal text, another pointer";
  EXPECT_EQ(ledger.takeBack(first + 1), std::nullopt) << "inside a block";
  EXPECT_EQ(ledger.takeBack(nullptr), std::nullopt);
  EXPECT_EQ(ledger.takeBack(first), "9 0");
  EXPECT_EQ(ledger.takeBack(first), std::nullopt) << "handed back twice";
  EXPECT_EQ(ledger.outstandingTexts(), std::vector<std::string>{"a"});
  ledger.clear();
  EXPECT_EQ(ledger.outstanding(), 0u);
  EXPECT_EQ(ledger.takeBack(second), std::nullopt) << "cleared";
}

}  // namespace
