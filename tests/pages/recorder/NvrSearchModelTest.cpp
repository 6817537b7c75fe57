// The MAC text of the MAC popup (which discovery answers are recorders is the discovery step's, tested with it).
#include <gtest/gtest.h>

#include "pages/recorder/NvrSearchModel.h"

using namespace vrx;

namespace {

TEST(MacDisplayText, UpperCaseWithoutColonsOrSixteenX) {
  EXPECT_EQ(MacDisplayText("00:1b:2c:3d:4e:5f"), "001B2C3D4E5F");
  EXPECT_EQ(MacDisplayText(""), "xxxxxxxxxxxxxxxx");
}

}  // namespace
