// The camera page's decisions without a window: reading the recorder's camera lines, remembering proven
// passwords by camera id, which popup a tick needs, the create-password check, the datagram target MAC, the
// cloud values, and the text naming unfinished changes.
#include <gtest/gtest.h>

#include "pages/cameras/CameraRules.h"
#include "tests/i18n/QStringPrinter.h"

using namespace vrx;

TEST(CameraLines, FieldsInOrderShortLinesPaddedLinesWithoutAddressDropped) {
  const auto cameras = ParseCameraLines({
      "1;127.0.20.4;001D4FB02004;Halvik;HVC-2230;admin;lobby135;0;1;extra",
      "0;127.0.20.3;001D4FB02003;Halvik;HVC-0810",
      "0;;001D4FB02009;Halvik;HVC-1120;admin;;;1",
  });
  ASSERT_EQ(cameras.size(), 2u);
  const CameraRecord& a = cameras[0];
  EXPECT_EQ(a.status, "1");
  EXPECT_EQ(a.address, "127.0.20.4");
  EXPECT_EQ(a.cameraId, "001D4FB02004");
  EXPECT_EQ(a.brand, "Halvik");
  EXPECT_EQ(a.model, "HVC-2230");
  EXPECT_EQ(a.account, "admin");
  EXPECT_EQ(a.password, "lobby135");
  EXPECT_EQ(a.reserved, "0");
  EXPECT_EQ(a.protocolType, "1");
  EXPECT_TRUE(IsAssigned(a));
  EXPECT_FALSE(UsesDatagrams(a));
  const CameraRecord& b = cameras[1];
  EXPECT_EQ(b.model, "HVC-0810");
  EXPECT_TRUE(b.account.isEmpty());
  EXPECT_TRUE(UsesDatagrams(b));  // an empty protocol type reads as 0
  EXPECT_FALSE(IsAssigned(b));
}

TEST(RememberedCameras, KeyedByIdAndOverwrittenOnTheNextRescan) {
  CameraRecord door, blank;  // same address; blank has no password and is not kept
  door.address = blank.address = "127.0.20.1";
  door.cameraId = "ID1", blank.cameraId = "ID9";
  door.password = "door4321";
  RememberedCameras remembered;
  remembered.Remember("127.0.20.1", true, {&door, &blank});
  ASSERT_EQ(remembered.entries().size(), 1u);
  EXPECT_EQ(remembered.Find("ID1")->ticked, 1);

  door.address = "127.0.20.9";  // moved
  door.password = "newpass1";
  remembered.Remember("127.0.20.9", false, {&door});
  ASSERT_EQ(remembered.entries().size(), 1u);
  EXPECT_EQ(remembered.Find("ID1")->ticked, 0);
  EXPECT_EQ(remembered.Find("ID1")->password, "newpass1");
  EXPECT_EQ(remembered.Find("ID9"), nullptr);
}

TEST(TickStep, KnownPasswordTicksFactoryStateCreatesOtherwiseEnter) {
  struct Case {
    const char* account;
    const char* password;
    int verified;
    bool rowKnown;
    TickStep step;
  };
  const Case cases[] = {
      {"admin", "lobby135", 0, true, TickStep::TickNow},
      {"admin", "", 0, true, TickStep::CreatePassword},
      {"", "", 0, false, TickStep::EnterPassword},
      {"operator", "secret", 0, false, TickStep::EnterPassword},
      {"", "", 1, true, TickStep::TickNow},
  };
  for (const Case& c : cases) {
    CameraRecord camera;
    camera.account = c.account;
    camera.password = c.password;
    camera.verified = c.verified;
    EXPECT_EQ(ChooseTickStep(camera, c.rowKnown), c.step) << c.account << "/" << c.password;
  }
}

TEST(CreatePassword, MismatchFirstThenCharactersThenLength) {
  struct Case {
    QString password, confirm, error;
  };
  const Case cases[] = {
      {"abcde", "abcde", "camsearch_09"},
      {"abcdef", "abcdef", ""},
      {QString(30, 'x'), QString(30, 'x'), ""},
      {QString(31, 'x'), QString(31, 'x'), "camsearch_09"},
      {"abc:defg", "abc:defg", "camsearch_09"},
      {"abc defg", "abc defg", "camsearch_09"},
      {"abc/defg", "abc/defg", "camsearch_09"},
      {"abc&defg", "abc&defg", "camsearch_09"},
      {"a:b", "a:c", "nvrpwd_03"},  // a mismatch is told before anything else
      {"abcdef", "abcdeF", "nvrpwd_03"},
  };
  for (const Case& c : cases) EXPECT_EQ(CreatePasswordError(c.password, c.confirm), c.error) << c.password.toStdString();
}

TEST(CameraMac, TwelveHexDigitsWhateverTheSeparators) {
  const net::MacAddress expected{0x00, 0x1d, 0x4f, 0xb0, 0x20, 0x03};
  EXPECT_EQ(MacFromCameraId("001D4FB02003"), expected);
  EXPECT_EQ(MacFromCameraId("00:1d:4f:b0:20:03"), expected);
  EXPECT_FALSE(MacFromCameraId("001D4FB020"));
  EXPECT_FALSE(MacFromCameraId("001D4FB0200301"));
  EXPECT_FALSE(MacFromCameraId(""));
}

TEST(PortalResult, SevenValuesTheLastTakesTheRest) {
  const auto values = SplitPortalResult("0&1&kelvaro.test&K4R7&dfp&VRX-410Q&http://127.0.10.1/?a=1&b=2");
  ASSERT_TRUE(values);
  EXPECT_EQ((*values)[0], "0");
  EXPECT_EQ((*values)[2], "kelvaro.test");
  EXPECT_EQ((*values)[5], "VRX-410Q");
  EXPECT_EQ((*values)[6], "http://127.0.10.1/?a=1&b=2");
  EXPECT_FALSE(SplitPortalResult(""));
  EXPECT_FALSE(SplitPortalResult("-1"));
  const auto shortResult = SplitPortalResult("1&0");
  ASSERT_TRUE(shortResult);
  EXPECT_EQ((*shortResult)[1], "0");
  EXPECT_TRUE((*shortResult)[6].isEmpty());
}

TEST(UnfinishedChanges, NamesEachCameraByModelAndAddress) {
  std::vector<CameraRecord> cameras(3);
  cameras[0].model = "HVC-2230", cameras[0].address = "127.0.20.4";
  cameras[1].model = "HVC-1120", cameras[1].address = "127.0.20.2";
  cameras[2].model = "HVC-0810", cameras[2].address = "127.0.20.3";
  EXPECT_TRUE(UnfinishedChangesText({{CameraChange::kAdd, 1, true}}, cameras).isEmpty());
  const QString text = UnfinishedChangesText(
      {{CameraChange::kRemove, 0, false}, {CameraChange::kAdd, 1, true}, {CameraChange::kAdd, 2, false}}, cameras);
  EXPECT_TRUE(text.contains("Not removed: HVC-2230 (127.0.20.4)")) << text.toStdString();
  EXPECT_TRUE(text.contains("Not added: HVC-0810 (127.0.20.3)")) << text.toStdString();
  EXPECT_FALSE(text.contains("HVC-1120"));
}
