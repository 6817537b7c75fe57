// What the disk page decides from the ports without a window: the picture and Next's first step.
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
