// The camera list's tick rules: what a click on a row's box means, which rows are grey, and the shared count
// that never leaves 0..4.
#include <gtest/gtest.h>

#include "pages/cameras/CamTickRules.h"

using namespace vrx::ui;

TEST(CamTickRules, ClickAndGreyFollowTheCount) {
  struct Case {
    bool ticked;
    int count;
    TickClick click;
    bool grey;
  };
  const Case cases[] = {
      {false, 0, TickClick::ReportRow, false}, {false, 3, TickClick::ReportRow, false},
      {false, 4, TickClick::Nothing, true},    {true, 4, TickClick::Untick, false},
      {true, 1, TickClick::Untick, false},
  };
  for (const Case& c : cases) {
    std::atomic<int> count{c.count};
    CamTickRules rules(count);
    EXPECT_EQ(rules.Click(c.ticked), c.click) << "ticked " << c.ticked << " count " << c.count;
    EXPECT_EQ(rules.IsGrey(c.ticked), c.grey) << "ticked " << c.ticked << " count " << c.count;
  }
}

TEST(CamTickRules, CountStaysBetweenZeroAndFour) {
  std::atomic<int> count{0};
  CamTickRules rules(count);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(rules.Tick());
  EXPECT_FALSE(rules.Tick());
  EXPECT_FALSE(rules.CanTick());
  EXPECT_EQ(count.load(), 4);
  for (int i = 0; i < 6; ++i) rules.Untick();
  EXPECT_EQ(count.load(), 0);
  EXPECT_TRUE(rules.CanTick());
}
