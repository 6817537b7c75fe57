#include <gtest/gtest.h>

#include <vector>

#include "app/PageSequence.h"
#include "platform/Messages.h"

using namespace vrx;

struct NavCase {
  int pageType;
  int navCode;
  HostAction action;
  int newType;
};

class NavigateTest : public ::testing::TestWithParam<NavCase> {};

TEST_P(NavigateTest, HostActionAndNewPageType) {
  const NavCase& c = GetParam();
  const NavStep step = PageSequence::Navigate(c.pageType, c.navCode);
  EXPECT_EQ(step.action, c.action);
  EXPECT_EQ(step.pageType, c.newType);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, NavigateTest,
    ::testing::Values(NavCase{5, NAV_NEXT, HostAction::ShowPage, 6},      //
                      NavCase{12, NAV_BACK, HostAction::ShowPage, 11},    //
                      NavCase{1, NAV_BACK, HostAction::ShowPage, 0},      // leaves welcome in place
                      NavCase{0, NAV_NEXT, HostAction::ShowPage, 1},      // ... and Next shows it again
                      NavCase{9, NAV_RESTART, HostAction::ShowPage, 1},   //
                      NavCase{7, NAV_CLOSE, HostAction::EndWizard, 7},    //
                      NavCase{12, NAV_FINISH, HostAction::EndWizard, 12}, //
                      NavCase{10, NAV_MINIMIZE, HostAction::MinimizeFrame, 10},
                      NavCase{4, 0, HostAction::Ignore, 4},               //
                      NavCase{4, 7, HostAction::Ignore, 4}));

struct SkipCase {
  int pageType;
  const char* value0;  // null = never reported
  const char* value1;
  int shown;
};

class DisplayedPageTest : public ::testing::TestWithParam<SkipCase> {};

TEST_P(DisplayedPageTest, CloudPageOnlyWhenOfferedAndNotRegistered) {
  const SkipCase& c = GetParam();
  EXPECT_EQ(PageSequence::DisplayedPage(c.pageType, QString::fromLatin1(c.value0), QString::fromLatin1(c.value1)),
            c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    CloudValues, DisplayedPageTest,
    ::testing::Values(SkipCase{11, "0", "1", 11},      // offered, not registered
                      SkipCase{11, nullptr, "1", 11},  // value 0 empty is "not 1" too
                      SkipCase{11, nullptr, nullptr, 12},  // recorder never reported
                      SkipCase{11, "1", "1", 12},      // already registered
                      SkipCase{11, "0", "0", 12},      // not offered
                      SkipCase{11, "0", " 1", 12},     // exactly "1", no trimming
                      SkipCase{11, "0", "11", 12},     //
                      SkipCase{11, "01", "1", 11},     // value 0 must be exactly "1" to skip
                      SkipCase{10, "1", "0", 10},      // the rule touches only the cloud page
                      SkipCase{12, "0", "1", 12},      //
                      SkipCase{0, "0", "1", 0},        // outside 1..12: nothing new
                      SkipCase{13, "0", "1", 0}));

// The host keeps pageType = 11 while the summary stands in for the cloud page, so Back from the summary
// goes to the camera page, not to a cloud page that was never shown.
TEST(PageSequenceWalk, BackFromSkippedCloudPageReturnsToCameras) {
  int type = 10;
  type = PageSequence::Navigate(type, NAV_NEXT).pageType;
  EXPECT_EQ(type, 11);
  EXPECT_EQ(PageSequence::DisplayedPage(type, "1", "1"), 12);
  type = PageSequence::Navigate(type, NAV_BACK).pageType;
  EXPECT_EQ(PageSequence::DisplayedPage(type, "1", "1"), 10);
}
