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
      {"abcde", "abcde", "camsearch_08"},
      {"abcdef", "abcdef", ""},
      {QString(30, 'x'), QString(30, 'x'), ""},
      {QString(31, 'x'), QString(31, 'x'), "camsearch_08"},
      {"abc:defg", "abc:defg", "camsearch_08"},
      {"abc defg", "abc defg", "camsearch_08"},
      {"abc/defg", "abc/defg", "camsearch_08"},
      {"abc&defg", "abc&defg", "camsearch_08"},
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

// ------------------------------------------------------------------------------------------ the selection

#include "pages/cameras/CameraSelection.h"
#include "pages/cameras/CamTickRules.h"

namespace {

std::string Line(int host, const char* account, const char* password, const char* status = "0") {
  return std::string(status) + ";127.0.20." + std::to_string(host) + ";001D4FB020" + std::to_string(10 + host) +
         ";Halvik;HVC-2230;" + account + ";" + password + ";;1";
}

}  // namespace

TEST(CameraSelection, WhatATickNeedsAndTheFourLimit) {
  CameraSelection::Records records;
  CameraSelection selection(records);
  selection.Rebuild({Line(1, "admin", "pw1234"), Line(2, "admin", ""), Line(3, "", ""), Line(4, "admin", "pw1234"),
                     Line(5, "admin", "pw1234"), Line(6, "admin", "pw1234")});
  ASSERT_EQ(records.size(), 6u);
  struct Case {
    int row;
    TickDecision decision;
  };
  const Case before[] = {{0, TickDecision::TickNow}, {1, TickDecision::CreatePassword},
                         {2, TickDecision::EnterPassword}, {9, TickDecision::Unusable}};
  for (const Case& c : before) EXPECT_EQ(selection.DecideTick(c.row), c.decision) << "row " << c.row;

  for (int row : {0, 3, 4, 5}) EXPECT_TRUE(selection.Tick(row)) << row;
  EXPECT_EQ(selection.ticked(), 4);
  EXPECT_EQ(selection.DecideTick(1), TickDecision::Refused);
  EXPECT_FALSE(selection.Tick(1));
  EXPECT_FALSE(selection.Tick(0));  // already ticked: not counted twice

  // The list unticks a row and lowers the shared count; a fifth camera can then be ticked.
  ui::CamTickRules(selection.checkedCount()).Untick();
  selection.Unticked(3);
  EXPECT_EQ(selection.DecideTick(1), TickDecision::CreatePassword);
  selection.PasswordProven(1, "newpass7");
  EXPECT_EQ(selection.DecideTick(1), TickDecision::TickNow);
  EXPECT_TRUE(selection.Tick(1));

  // Next: ticked rows are selected; only finished adds count as added.
  selection.MarkSelected();
  std::vector<int> selected;
  for (const auto& r : records) selected.push_back(r->selected);
  EXPECT_EQ(selected, (std::vector<int>{1, 1, 0, 0, 1, 1}));
  selection.Confirm({{CameraChange::kAdd, 0, true}, {CameraChange::kAdd, 1, false}, {CameraChange::kAdd, 4, true},
                     {CameraChange::kRemove, 3, true}});
  std::vector<int> added;
  for (const auto& r : records) added.push_back(r->added);
  EXPECT_EQ(added, (std::vector<int>{1, 0, 0, 0, 1, 0}));
  EXPECT_EQ(records[1]->password, "newpass7");
}

TEST(CameraSelection, ProvenPasswordsAndTicksSurviveARescanByCameraId) {
  CameraSelection::Records records;
  CameraSelection selection(records);
  selection.Rebuild({Line(1, "", ""), Line(2, "", "")});
  selection.PasswordProven(0, "door4321");
  ASSERT_TRUE(selection.Tick(0));
  selection.PasswordProven(1, "yard2468");  // proven, not ticked

  selection.BeginScan();
  EXPECT_EQ(selection.ticked(), 0);
  EXPECT_EQ(selection.rowCount(), 0);
  // The first camera answers elsewhere now, with the same id; the order changed too.
  std::string moved = Line(1, "", "");
  moved.replace(moved.find("127.0.20.1;"), 11, "127.0.20.80;");
  selection.Rebuild({Line(2, "", ""), moved});
  ASSERT_EQ(selection.rowCount(), 2);
  EXPECT_FALSE(selection.rows()[0].ticked);
  EXPECT_TRUE(selection.rows()[0].passwordKnown);
  EXPECT_EQ(records[0]->password, "yard2468");
  EXPECT_TRUE(selection.rows()[1].ticked);
  EXPECT_EQ(selection.rows()[1].address, "127.0.20.80");
  EXPECT_EQ(records[1]->password, "door4321");
  EXPECT_EQ(selection.ticked(), 1);
}

// A recorder's hostile lines: rows whose address is no device address are shown, never usable (no tick, no
// request target), and every shown text is cleaned of control and direction-override characters.
TEST(CameraSelection, HostileRowsAreShownCleanedAndNeverUsable) {
  struct Case {
    std::string address;
    std::string model;
    bool usable;
    QString shownModel;
  };
  const Case cases[] = {
      {"10.0.0.5@127.0.0.99", "HVC-2230", false, "HVC-2230"},
      {"127.0.0.31/../x", "HVC-2230", false, "HVC-2230"},
      {"127.0.0.32:8080", "VCM\u202Eevil", true, "VCMevil"},
      {"127.0.0.33", "HVC\x1b[31m-1", true, "HVC[31m-1"},
      {"127.0.0.34\x1b", "HVC-1120", false, "HVC-1120"},
  };
  for (const Case& c : cases) {
    CameraSelection::Records records;
    CameraSelection selection(records);
    selection.Rebuild({"0;" + c.address + ";001D4FB02001;Halvik;" + c.model + ";admin;pw1234;;1"});
    ASSERT_EQ(selection.rowCount(), 1) << c.address;
    const CameraRow& row = selection.rows()[0];
    EXPECT_EQ(row.usable, c.usable) << c.address;
    EXPECT_EQ(row.model, c.shownModel) << c.address;
    EXPECT_FALSE(row.address.contains(QChar(0x1b)));
    if (!c.usable) {
      EXPECT_EQ(selection.DecideTick(0), TickDecision::Unusable) << c.address;
      EXPECT_FALSE(selection.Tick(0)) << c.address;
      EXPECT_FALSE(row.passwordKnown) << c.address;  // no preview either
    }
  }
}

// ------------------------------------------------------------------------------------------ the update's veil

#include "pages/cameras/CameraWork.h"

// The veil of Next stays as long as the planned changes may take: each camera's pause, a remove's readings and
// pauses for an assigned camera left unticked, an add's for a ticked one.
TEST(CameraUpdate, WorstCaseGrowsWithThePlannedChanges) {
  auto camera = [](bool assigned, bool selected) {
    CameraRecord c;
    c.status = assigned ? "1" : "0";
    c.selected = selected ? 1 : 0;
    return c;
  };
  const CameraWorkLimits limits;  // 300 readings of 50 ms per change
  struct Case {
    std::vector<CameraRecord> cameras;
    int ticks;
  };
  const Case cases[] = {
      {{}, 0},
      {{camera(false, false)}, 1},                          // only the pause before each camera
      {{camera(false, true)}, 1 + 158},                     // an add: 15 s of readings, 0.8 s after
      {{camera(true, false)}, 1 + 158 + 10},                // a remove: the same, and 1 s once done
      {{camera(true, true)}, 1 + 158},                      // assigned and ticked: added again, not removed
  };
  for (const Case& c : cases) EXPECT_EQ(CameraUpdateJob::WorstCaseTicks(c.cameras, limits), c.ticks);
  // Four removes and four adds need longer than the 1100 ticks of the veil.
  std::vector<CameraRecord> eight;
  for (int i = 0; i < 4; ++i) eight.push_back(camera(true, false)), eight.push_back(camera(false, true));
  EXPECT_GT(CameraUpdateJob::WorstCaseTicks(eight, limits), 1100);
}
