// Which discovery replies become rows of the recorder list, and the MAC text of the MAC popup.
#include <gtest/gtest.h>

#include <cstring>

#include "pages/recorder/NvrSearchModel.h"

using namespace vrx;
using net::DiscoveredDevice;

namespace {

DiscoveredDevice Reply(const char* model, std::array<std::uint8_t, 4> ip, std::array<std::uint8_t, 6> mac,
                       bool unique = true) {
  std::array<std::uint8_t, 344> datagram{};
  std::memcpy(datagram.data() + DiscoveredDevice::kModelOffset, model, std::strlen(model));
  std::memcpy(datagram.data() + DiscoveredDevice::kMacOffset, mac.data(), mac.size());
  std::memcpy(datagram.data() + DiscoveredDevice::kIpv4Offset, ip.data(), ip.size());
  DiscoveredDevice d = DiscoveredDevice::FromDatagram(datagram, 0);
  d.unique = unique;
  return d;
}

TEST(ListRecorders, KeepsTheModelNumbersFromOneAndSkipsTheRest) {
  const std::vector<DiscoveredDevice> results = {
      Reply("VRX-208", {127, 0, 16, 9}, {0, 1, 2, 3, 4, 9}),        // another model: not listed, not counted
      Reply("VRX-410Q", {127, 0, 16, 1}, {0, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f}),
      Reply("vrx-410q", {127, 0, 16, 8}, {0, 1, 2, 3, 4, 8}),       // the model match is case-sensitive
      Reply("VRX-410Q ", {127, 0, 16, 7}, {0, 1, 2, 3, 4, 7}),      // and exact
      Reply("VRX-410Q", {0, 0, 0, 0}, {0, 1, 2, 3, 4, 6}),          // no address yet
      Reply("VRX-410Q", {127, 0, 16, 1}, {0, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f}, /*unique*/ false),  // heard twice
      Reply("VRX-410Q", {127, 0, 16, 2}, {0, 1, 2, 3, 4, 2}),
  };
  const std::vector<NvrRow> rows = ListRecorders(results);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].number, 1);
  EXPECT_EQ(rows[0].ip, "127.0.16.1");
  EXPECT_EQ(rows[0].mac, "00:1b:2c:3d:4e:5f");
  EXPECT_EQ(rows[1].number, 2);
  EXPECT_EQ(rows[1].ip, "127.0.16.2");
  EXPECT_TRUE(ListRecorders({}).empty());
}

TEST(MacDisplayText, UpperCaseWithoutColonsOrSixteenX) {
  EXPECT_EQ(MacDisplayText("00:1b:2c:3d:4e:5f"), "001B2C3D4E5F");
  EXPECT_EQ(MacDisplayText(""), "xxxxxxxxxxxxxxxx");
}

}  // namespace
