// The camera page's decisions without a window: remembering proven passwords for a camera id at its address,
// the language key of a refused new password, what Next does to the cloud values and
// how long its veil stays, the text naming unfinished changes, and the selection as a whole.
#include <gtest/gtest.h>

#include "pages/cameras/CameraNext.h"
#include "pages/cameras/CameraPasswordTexts.h"
#include "pages/cameras/RememberedCameras.h"
#include "tests/i18n/QStringPrinter.h"

using namespace vrx;
using steps::CameraChange;
using steps::CameraRecord;

// A proven password holds for the camera id at the address it was proven at; the same id elsewhere is not it.
TEST(RememberedCameras, KeyedByIdAndAddress) {
  CameraRecord door;
  door.address = "127.0.20.1";
  door.cameraId = "ID1";
  door.password = net::Secret("door4321");
  CameraRecord blank;  // no password: nothing to keep
  blank.address = "127.0.20.1";
  blank.cameraId = "ID9";
  RememberedCameras remembered;
  remembered.Remember(door, true);
  remembered.Remember(blank, true);
  ASSERT_EQ(remembered.entries().size(), 1u);
  EXPECT_EQ(remembered.Find("ID1", "127.0.20.1")->ticked, 1);
  EXPECT_EQ(remembered.Find("ID1", "127.0.20.9"), nullptr);  // the same id at another address
  EXPECT_EQ(remembered.Find("ID9", "127.0.20.1"), nullptr);

  door.password = net::Secret("newpass1");  // proven again on the next rescan, unticked
  remembered.Remember(door, false);
  ASSERT_EQ(remembered.entries().size(), 1u);
  EXPECT_EQ(remembered.Find("ID1", "127.0.20.1")->ticked, 0);
  EXPECT_EQ(remembered.Find("ID1", "127.0.20.1")->password.View(), "newpass1");
}

TEST(NewPassword, EachFaultHasItsText) {
  EXPECT_STREQ(NewPasswordFaultKey(steps::NewCameraPasswordFault::None), "");
  EXPECT_STREQ(NewPasswordFaultKey(steps::NewCameraPasswordFault::Mismatch), "nvrpwd_03");
  EXPECT_STREQ(NewPasswordFaultKey(steps::NewCameraPasswordFault::ForbiddenCharacter), "camsearch_08");
  EXPECT_STREQ(NewPasswordFaultKey(steps::NewCameraPasswordFault::Length), "camsearch_08");
}

// Next's cloud values: nothing of an earlier read survives, access reads "0" until a read gives all seven.
TEST(NextCloudValues, ResetThenTakenFromTheRead) {
  const steps::CloudValues before = CloudValuesBeforeRead();
  for (int i = 0; i < steps::kCloudValueCount; ++i) EXPECT_EQ(before[std::size_t(i)], i == steps::kCloudAccess ? "0" : "") << i;
  steps::CloudStatusResult read;
  read.outcome = steps::CloudStatusResult::Outcome::Read;
  EXPECT_EQ(CloudValuesAfterRead(read), before);  // read, but 2012 gave nothing
  read.values = steps::CloudValues{"0", "1", "kelvaro.test", "K4R7", "dfp", "VRX-410Q", "http://127.0.10.1/"};
  EXPECT_EQ(CloudValuesAfterRead(read), *read.values);
  read.outcome = steps::CloudStatusResult::Outcome::Failed;
  EXPECT_EQ(CloudValuesAfterRead(read), before);
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

steps::CameraPasswordResult Proven(const CameraRecord& camera) {
  return {camera.cameraId, camera.address, steps::CameraPasswordFault::None};
}

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
    TickStep decision;
  };
  const Case before[] = {{0, TickStep::TickNow}, {1, TickStep::CreatePassword},
                         {2, TickStep::EnterPassword}, {9, TickStep::Unusable}};
  for (const Case& c : before) EXPECT_EQ(selection.DecideTick(c.row), c.decision) << "row " << c.row;

  for (int row : {0, 3, 4, 5}) EXPECT_TRUE(selection.Tick(row)) << row;
  EXPECT_EQ(selection.ticked(), 4);
  EXPECT_EQ(selection.DecideTick(1), TickStep::Refused);
  EXPECT_FALSE(selection.Tick(1));
  EXPECT_FALSE(selection.Tick(0));  // already ticked: not counted twice

  // The list unticks a row and lowers the shared count; a fifth camera can then be ticked.
  CamTickRules(selection.checkedCount()).Untick();
  selection.Unticked(3);
  EXPECT_EQ(selection.DecideTick(1), TickStep::CreatePassword);
  EXPECT_EQ(selection.PasswordProven(Proven(*records[1]), net::Secret("newpass7")), 1);
  EXPECT_EQ(selection.DecideTick(1), TickStep::TickNow);
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
  EXPECT_EQ(records[1]->password.View(), "newpass7");
}

// A rescan keeps a proven password (and whether the wizard created it) and its tick for the camera id at the same
// address, even when the list's order changed; the same id at another address is another device: its password
// is asked again.
TEST(CameraSelection, ProvenPasswordsSurviveARescanOnlyAtTheirAddress) {
  CameraSelection::Records records;
  CameraSelection selection(records);
  selection.Rebuild({Line(1, "", ""), Line(2, "", "")});
  ASSERT_EQ(selection.PasswordProven(Proven(*records[0]), net::Secret("door4321")), 0);
  ASSERT_TRUE(selection.Tick(0));
  // given as its first password, not ticked
  ASSERT_EQ(selection.PasswordProven(Proven(*records[1]), net::Secret("yard2468"), /*created*/ true), 1);

  selection.BeginScan();
  EXPECT_EQ(selection.ticked(), 0);
  EXPECT_EQ(selection.rowCount(), 0);
  // The first camera's id now answers elsewhere; the order changed too.
  std::string moved = Line(1, "", "");
  moved.replace(moved.find("127.0.20.1;"), 11, "127.0.20.80;");
  selection.Rebuild({Line(2, "", ""), moved});
  ASSERT_EQ(selection.rowCount(), 2);
  EXPECT_FALSE(selection.rows()[0].ticked);
  EXPECT_TRUE(selection.rows()[0].passwordKnown);
  EXPECT_EQ(records[0]->password.View(), "yard2468");
  EXPECT_EQ(records[0]->created, 1) << "a saved answer file asks for it to be created";
  EXPECT_FALSE(selection.rows()[1].ticked);
  EXPECT_FALSE(selection.rows()[1].passwordKnown);
  EXPECT_TRUE(records[1]->password.empty());
  EXPECT_EQ(selection.DecideTick(1), TickStep::EnterPassword);
  EXPECT_EQ(selection.ticked(), 0);
}

// A result names its camera: it is kept where that camera is now, and nowhere when it has gone or moved.
TEST(CameraSelection, AResultIsKeptOnlyForTheCameraItNames) {
  CameraSelection::Records records;
  CameraSelection selection(records);
  selection.Rebuild({Line(1, "", ""), Line(2, "", "")});
  steps::CameraPasswordResult result = Proven(*records[1]);
  result.address = "127.0.20.80";
  EXPECT_EQ(selection.PasswordProven(result, net::Secret("yard2468")), -1);
  result = Proven(*records[1]);
  result.fault = steps::CameraPasswordFault::NotAccepted;
  EXPECT_EQ(selection.PasswordProven(result, net::Secret("yard2468")), -1);
  EXPECT_FALSE(selection.rows()[1].passwordKnown);
  EXPECT_TRUE(records[1]->password.empty());
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
      EXPECT_EQ(selection.DecideTick(0), TickStep::Unusable) << c.address;
      EXPECT_FALSE(selection.Tick(0)) << c.address;
      EXPECT_FALSE(row.passwordKnown) << c.address;  // no preview either
    }
  }
}

// ------------------------------------------------------------------------------------------ the update's veil

// The veil of Next stays as long as the planned changes may take: each camera's pause, a remove's readings and
// pauses for an assigned camera left unticked, an add's for a ticked one; never less than its 1100 ticks.
TEST(CameraUpdate, VeilGrowsWithThePlannedChanges) {
  auto camera = [](bool assigned, bool selected) {
    CameraRecord c;
    c.status = assigned ? "1" : "0";
    c.selected = selected ? 1 : 0;
    return c;
  };
  const steps::CameraUpdatePolls polls;  // 300 readings of 50 ms per change
  struct Case {
    std::vector<std::pair<bool, bool>> cameras;  // assigned, selected
    int worstMs;
  };
  const Case cases[] = {
      {{}, 0},
      {{{false, false}}, 100},                      // only the pause before each camera
      {{{false, true}}, 100 + 15800},               // an add: 15 s of readings, 0.8 s after
      {{{true, false}}, 100 + 15800 + 1000},        // a remove: the same, and 1 s once done
      {{{true, true}}, 100 + 15800},                // assigned and ticked: added again, not removed
  };
  for (const Case& c : cases) {
    std::vector<CameraRecord> cameras;
    for (const auto& [assigned, selected] : c.cameras) cameras.push_back(camera(assigned, selected));
    EXPECT_EQ(steps::UpdateWorstCaseMs(cameras, polls), c.worstMs);
    EXPECT_EQ(UpdateVeilTicks(cameras, polls, 100), kNextVeilTicks);  // one change fits the usual veil
  }
  // Four removes and four adds need longer than the 1100 ticks: the veil stays for them and a tenth more.
  std::vector<CameraRecord> eight;
  for (int i = 0; i < 4; ++i) eight.push_back(camera(true, false)), eight.push_back(camera(false, true));
  EXPECT_EQ(UpdateVeilTicks(eight, polls, 100), steps::UpdateWorstCaseMs(eight, polls) / 100 + 110);
  EXPECT_GT(UpdateVeilTicks(eight, polls, 100), kNextVeilTicks);
}
