// The camera list's tick rules: what a click on a row's box means, which rows are grey, the shared count
// that never leaves 0..4, and which popup a tick needs.
#include <gtest/gtest.h>

#include "pages/cameras/CamTickRules.h"

using namespace vrx;
using steps::CameraRecord;

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

TEST(TickStep, KnownPasswordTicksFactoryStateCreatesOtherwiseEnter) {
  struct Case {
    const char* account;
    const char* password;
    int verified;
    TickState row;
    TickStep step;
  };
  const Case cases[] = {
      {"admin", "lobby135", 0, {true, true, 0}, TickStep::TickNow},
      {"admin", "", 0, {true, true, 0}, TickStep::CreatePassword},
      {"", "", 0, {true, false, 0}, TickStep::EnterPassword},
      {"operator", "secret", 0, {true, false, 0}, TickStep::EnterPassword},
      {"", "", 1, {true, true, 3}, TickStep::TickNow},
      {"admin", "lobby135", 0, {true, true, 4}, TickStep::Refused},  // four are ticked already
      {"admin", "lobby135", 0, {false, true, 0}, TickStep::Unusable},
  };
  for (const Case& c : cases) {
    CameraRecord camera;
    camera.account = c.account;
    camera.password = net::Secret(c.password);
    camera.verified = c.verified;
    EXPECT_EQ(ChooseTickStep(camera, c.row), c.step) << c.account << "/" << c.password << "/" << c.row.tickedCount;
  }
}
