// The host's agenda: timer ticks and tally deliveries in time order.
#include "panelhost/studio/agenda.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Takes everything due up to `now`, as "t<id>@due" and "<index>@due".
std::vector<std::string> drain(Agenda& agenda, std::int64_t now) {
  std::vector<std::string> taken;
  while (std::optional<Agenda::Item> item = agenda.takeDue(now)) {
    const std::string what = item->timer ? "t" + std::to_string(*item->timer) : std::to_string(item->tally->index);
    taken.push_back(what + "@" + std::to_string(item->due));
  }
  return taken;
}

using Taken = std::vector<std::string>;

TEST(Agenda, TimersRepeatUntilStopped) {
  Agenda agenda;
  agenda.armTimer(1, 250, 0);
  EXPECT_EQ(agenda.nextDue(), 250);
  EXPECT_TRUE(drain(agenda, 249).empty());
  EXPECT_EQ(drain(agenda, 750), (Taken{"t1@250", "t1@500", "t1@750"}));
  agenda.armTimer(1, 0, 750);
  EXPECT_FALSE(agenda.nextDue().has_value());
}

TEST(Agenda, RearmingRestartsAndZeroStops) {
  Agenda agenda;
  agenda.armTimer(1, 250, 0);
  agenda.armTimer(1, 100, 200);
  EXPECT_EQ(drain(agenda, 300), (Taken{"t1@300"}));
  agenda.armTimer(1, 0, 300);
  agenda.armTimer(2, -5, 300);
  EXPECT_FALSE(agenda.nextDue().has_value());
  EXPECT_EQ(drain(agenda, 10000), Taken{});
}

TEST(Agenda, ItemsComeOutInTimeThenSchedulingOrder) {
  Agenda agenda;
  agenda.addTally(20, {7, 78, "b"});
  agenda.armTimer(1, 20, 0);
  agenda.addTally(20, {7, 79, "c"});
  agenda.addTally(10, {7, 77, "a"});
  agenda.armTimer(2, 5, 0);
  EXPECT_EQ(drain(agenda, 20), (Taken{"t2@5", "77@10", "t2@10", "t2@15", "78@20", "t1@20", "79@20", "t2@20"}));
}

}  // namespace
