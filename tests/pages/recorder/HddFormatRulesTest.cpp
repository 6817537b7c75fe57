// What the disk page decides from the ports without a window: the picture, Next's first step, the file system.
#include <gtest/gtest.h>

#include "pages/recorder/HddFormatRules.h"

using namespace vrx;

struct NextCase {
  DiskPorts ports;
  NextStep step;
  int picture;
};

class NextStepTest : public testing::TestWithParam<NextCase> {};

TEST_P(NextStepTest, FollowsTheReadyAndPluggedFlags) {
  EXPECT_EQ(ChooseNextStep(GetParam().ports), GetParam().step);
  EXPECT_EQ(DiskPictureState(GetParam().ports.plugged), GetParam().picture);
}

INSTANTIATE_TEST_SUITE_P(
    Ports, NextStepTest,
    testing::Values(NextCase{{{0, 0}, {0, 0}}, NextStep::NoDisk, 0},
                    NextCase{{{0, 0}, {1, 0}}, NextStep::NoDisk, 1},         // plugged, never ready
                    NextCase{{{0, 1}, {0, 1}}, NextStep::Ask, 2},            // HD2 only
                    NextCase{{{1, 1}, {1, 1}}, NextStep::Ask, 3},
                    NextCase{{{1, 0}, {1, 1}}, NextStep::CheckThenAsk, 3},   // HD2 not ready yet
                    NextCase{{{0, 1}, {1, 1}}, NextStep::CheckThenAsk, 3},
                    NextCase{{{1, 0}, {1, 0}}, NextStep::Ask, 1}));

TEST(FormatFileSystem, KeepsOneAndTwoAndTurnsEveryOtherCodeIntoTwo) {
  const int expected[] = {2, 1, 2, 2, 2, 2, 2};  // codes 0..5 and an unknown 9
  const int codes[] = {0, 1, 2, 3, 4, 5, 9};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(FormatFileSystem(codes[i]), expected[i]) << "code " << codes[i];
}
