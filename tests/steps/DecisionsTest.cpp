// What each step would do to a recorder, decided from what it read and what a run asks: one table of cases,
// each step's refusals, changes and no-changes, with the reason word and the values before and after.
#include <gtest/gtest.h>

#include <functional>

#include "steps/cameras/CameraRules.h"
#include "steps/cloud/CloudRules.h"
#include "steps/launcher/LauncherRules.h"
#include "steps/recorder/AdminAccount.h"
#include "steps/recorder/Disks.h"
#include "steps/recorder/TimeZone.h"

namespace vrx::steps {
namespace {

using A = AdminPasswordAnswer;

ZoneList Zones(int current) {
  ZoneList list;
  list.names = {QStringLiteral("(GMT+00:00) London"), QStringLiteral("(GMT+01:00) Amsterdam")};
  list.current = current;
  return list;
}

DiskBays Bays(int fsCode, bool ready = true) {
  DiskBays bays{};
  bays[0].read = DiskBay::Read::Answered;
  bays[0].plugged = 1, bays[0].ready = ready ? 1 : 0, bays[0].fsCode = fsCode;
  bays[0].model = QStringLiteral("WDC WD10EZEX"), bays[0].sizeMb = 953869;
  bays[1].read = DiskBay::Read::Answered;
  return bays;
}
const WantedDisk kHd1{1, QStringLiteral("WDC WD10EZEX"), 953869, true};

// Five recorded cameras' worth of list: lines 0-3 recorded, line 4 not.
std::vector<CameraRecord> Listed(int recorded) {
  std::vector<std::string> lines;
  for (int i = 0; i < 5; ++i)
    lines.push_back(std::string(i < recorded ? "1" : "0") + ";127.0.20." + std::to_string(i + 1) +
                    ":80;001D4FA0200" + std::to_string(i + 1) + ";Halvik;HVC-2230;admin;pw;;1");
  return ParseCameraLines(lines);
}

const QString kRecorderAddress = QStringLiteral("127.0.10.1");

CloudValues Cloud(const char* status, const char* access) {
  CloudValues v;
  v[kCloudStatus] = QLatin1String(status), v[kCloudAccess] = QLatin1String(access);
  v[kCloudPortalUrl] = QStringLiteral("portal.kelvaro.test"), v[kCloudPortalNumber] = QStringLiteral("K4R7M2Q9");
  v[kCloudLocalHyperlink] = QStringLiteral("http://") + kRecorderAddress + QStringLiteral("/");
  return v;
}

struct Case {
  const char* name;
  std::function<Decision()> decide;
  Verdict verdict;
  const char* reason;
  std::optional<std::string> before, after;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

const std::optional<std::string> kNone;

class StepDecision : public testing::TestWithParam<Case> {};

TEST_P(StepDecision, SaysWhatTheStepWouldDoAndWhy) {
  const Decision d = GetParam().decide();
  EXPECT_EQ(d.verdict, GetParam().verdict) << d.detail;
  EXPECT_EQ(d.reason, GetParam().reason) << d.detail;
  EXPECT_EQ(d.before, GetParam().before) << d.detail;
  EXPECT_EQ(d.after, GetParam().after) << d.detail;
  EXPECT_FALSE(d.detail.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, StepDecision,
    testing::Values(
        // The administrator account.
        Case{"password_new", [] { return DecideAdminPassword({true, {}, false, {}}); }, Verdict::WouldChange,
             "new_recorder", "blank", "set"},
        Case{"password_second_run", [] { return DecideAdminPassword({false, A::Accepted, false, {}}); },
             Verdict::Unchanged, "", "set", "set"},
        Case{"password_set_up_before", [] { return DecideAdminPassword({false, A::Refused, false, {}}); },
             Verdict::Refused, "set_up_before", "another", kNone},
        Case{"password_reconfigured", [] { return DecideAdminPassword({false, A::Refused, true, A::Accepted}); },
             Verdict::WouldChange, "reconfigure", "current", "set"},
        Case{"password_current_refused", [] { return DecideAdminPassword({false, A::Refused, true, A::Refused}); },
             Verdict::Refused, "current_password_refused", "another", kNone},
        // The time zone: by name or number; the same zone on a recorder being set up still gets the page's Next
        // (the zone, then manual recording).
        Case{"zone_differs", [] { return DecideZone(Zones(1), {QStringLiteral("(GMT+01:00) Amsterdam"), 0}, false).decision; },
             Verdict::WouldChange, "zone_differs", "(GMT+00:00) London", "(GMT+01:00) Amsterdam"},
        Case{"zone_matches", [] { return DecideZone(Zones(2), {{}, 2}, false).decision; }, Verdict::Unchanged, "",
             "(GMT+01:00) Amsterdam", "(GMT+01:00) Amsterdam"},
        Case{"zone_matches_on_a_new_recorder", [] { return DecideZone(Zones(2), {{}, 2}, true).decision; },
             Verdict::WouldChange, "start_recording", "(GMT+01:00) Amsterdam", "(GMT+01:00) Amsterdam"},
        Case{"zone_not_listed", [] { return DecideZone(Zones(1), {QStringLiteral("Amsterdam"), 0}, true).decision; },
             Verdict::Refused, "zone_not_listed", kNone, kNone},
        Case{"zone_number_past_the_list", [] { return DecideZone(Zones(1), {{}, 3}, false).decision; }, Verdict::Refused,
             "zone_not_listed", kNone, kNone},
        // The disks: the recorder's own file systems (1, 2) are kept; any other is formatted with 2.
        Case{"disk_formatted", [] { return DecideDisks(Bays(4), {kHd1}, true).decision; }, Verdict::WouldChange, "format",
             "HD1 file system 4", "HD1 file system 2"},
        Case{"disk_has_the_recorders_file_system", [] { return DecideDisks(Bays(1), {kHd1}, true).decision; },
             Verdict::Unchanged, "", "HD1 file system 1", "HD1 file system 1"},
        Case{"disk_format_not_allowed", [] { return DecideDisks(Bays(4), {kHd1}, false).decision; }, Verdict::Refused,
             "format_not_allowed", "HD1 file system 4", kNone},
        Case{"disk_not_ready", [] { return DecideDisks(Bays(4, false), {kHd1}, true).decision; }, Verdict::Refused,
             "disk_not_ready", "HD1 file system 4", kNone},
        Case{"disk_of_another_model",
             [] { return DecideDisks(Bays(4), {{1, QStringLiteral("ST1000DM003"), {}, true}}, true).decision; },
             Verdict::Refused, "disk_model_differs", kNone, kNone},
        Case{"disk_of_another_size",
             [] { return DecideDisks(Bays(4), {{1, QStringLiteral("WDC WD10EZEX"), 476940, true}}, true).decision; },
             Verdict::Refused, "disk_size_differs", kNone, kNone},
        Case{"no_disk_in_the_bay",
             [] { return DecideDisks(Bays(4), {{2, QStringLiteral("WDC WD10EZEX"), {}, true}}, true).decision; },
             Verdict::Refused, "no_disk", kNone, kNone},
        // The cameras: named by address (a.b.c.d finds a.b.c.d:80) or id; four at most.
        Case{"camera_added",
             [] {
               return DecideCameras(Listed(0), {{QStringLiteral("127.0.20.1"), {}, false}}, {{0, true, false, false}},
                                    false)
                   .decision;
             },
             Verdict::WouldChange, "camera_add", "", "127.0.20.1:80"},
        Case{"camera_created_then_added",
             [] {
               return DecideCameras(Listed(0), {{{}, QStringLiteral("001D4FA02002"), true}}, {{1, false, true, false}},
                                    false)
                   .decision;
             },
             Verdict::WouldChange, "camera_password", "", "127.0.20.2:80"},
        Case{"camera_recorded_already",
             [] {
               return DecideCameras(Listed(1), {{QStringLiteral("127.0.20.1"), {}, false}}, {{0, true, false, true}},
                                    false)
                   .decision;
             },
             Verdict::Unchanged, "", "127.0.20.1:80", "127.0.20.1:80"},
        Case{"camera_refuses_the_password",
             [] {
               return DecideCameras(Listed(0), {{QStringLiteral("127.0.20.1"), {}, true}}, {{0, false, false, false}},
                                    false)
                   .decision;
             },
             Verdict::Refused, "camera_not_factory_state", "", kNone},
        Case{"camera_not_listed",
             [] {
               return DecideCameras(Listed(0), {{QStringLiteral("127.0.20.9"), {}, false}}, {{-1, false, false, false}},
                                    false)
                   .decision;
             },
             Verdict::Refused, "camera_not_listed", "", kNone},
        Case{"fifth_camera",
             [] {
               return DecideCameras(Listed(4), {{QStringLiteral("127.0.20.5"), {}, false}}, {{4, true, false, false}},
                                    false)
                   .decision;
             },
             Verdict::Refused, "too_many_cameras",
             "127.0.20.1:80, 127.0.20.2:80, 127.0.20.3:80, 127.0.20.4:80", kNone},
        Case{"fifth_camera_in_place_of_a_removed_one",
             [] {
               return DecideCameras(Listed(4), {{QStringLiteral("127.0.20.5"), {}, false}}, {{4, true, false, false}},
                                    true)
                   .decision;
             },
             Verdict::WouldChange, "camera_add", "127.0.20.1:80, 127.0.20.2:80, 127.0.20.3:80, 127.0.20.4:80",
             "127.0.20.5:80"},
        // The cloud service.
        Case{"cloud_sign_in", [] { return DecideCloud(CloudWish::SignIn, "owner@kelvaro.test", Cloud("0", "1"), {}); },
             Verdict::WouldChange, "not_registered", kNone, "owner@kelvaro.test"},
        Case{"cloud_registered_to_that_account",
             [] {
               return DecideCloud(CloudWish::SignUp, "owner@kelvaro.test", Cloud("1", "1"),
                                  QStringLiteral("owner@kelvaro.test"));
             },
             Verdict::Unchanged, "", "owner@kelvaro.test", "owner@kelvaro.test"},
        Case{"cloud_registered_elsewhere",
             [] {
               return DecideCloud(CloudWish::SignIn, "owner@kelvaro.test", Cloud("1", "1"),
                                  QStringLiteral("someone@else.test"));
             },
             Verdict::Refused, "registered_elsewhere", "someone@else.test", kNone},
        Case{"cloud_not_offered", [] { return DecideCloud(CloudWish::SignIn, "owner@kelvaro.test", Cloud("0", "0"), {}); },
             Verdict::Refused, "not_offered", kNone, kNone},
        Case{"cloud_skipped", [] { return DecideCloud(CloudWish::Skip, "", Cloud("0", "1"), {}); }, Verdict::Unchanged,
             "", kNone, kNone},
        // The launcher.
        Case{"launcher_missing",
             [] { return DecideLauncher(true, DesktopLauncher(LauncherInputs(Cloud("1", "1"), kRecorderAddress)), false); },
             Verdict::WouldChange, "launcher_differs", kNone, "VRX-410Q(K4R7M2Q9).desktop"},
        Case{"launcher_in_place",
             [] { return DecideLauncher(true, DesktopLauncher(LauncherInputs(Cloud("1", "1"), kRecorderAddress)), true); },
             Verdict::Unchanged, "", "VRX-410Q(K4R7M2Q9).desktop", "VRX-410Q(K4R7M2Q9).desktop"},
        Case{"launcher_not_asked_for",
             [] { return DecideLauncher(false, DesktopLauncher(LauncherInputs(Cloud("1", "1"), kRecorderAddress)), false); },
             Verdict::Unchanged, "", kNone, kNone}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// The cloud page's skip empties the access value where the page is shown, so FINISH writes the recorder's own
// link; a registered recorder (no page) keeps its portal launcher.
TEST(SkippedCloud, GivesTheWizardsLauncher) {
  const DesktopLauncher skipped(LauncherInputs(SkippedCloud(Cloud("0", "1")), kRecorderAddress));
  EXPECT_EQ(skipped.fileName(), "VRX-410Q.desktop");
  EXPECT_EQ(skipped.url(), "http://127.0.10.1/");
  const DesktopLauncher registered(LauncherInputs(SkippedCloud(Cloud("1", "1")), kRecorderAddress));
  EXPECT_EQ(registered.fileName(), "VRX-410Q(K4R7M2Q9).desktop");
}

// Who the recorder's camera list names: by id, or by address with or without the default port.
TEST(FindCamera, ByIdOrByAddressWithTheDefaultPort) {
  const std::vector<CameraRecord> listed = Listed(0);
  EXPECT_EQ(FindCamera(listed, {QStringLiteral("127.0.20.2"), {}, false}), 1);
  EXPECT_EQ(FindCamera(listed, {QStringLiteral("127.0.20.2:80"), {}, false}), 1);
  EXPECT_EQ(FindCamera(listed, {QStringLiteral("127.0.20.2:81"), {}, false}), -1);
  EXPECT_EQ(FindCamera(listed, {QStringLiteral("127.0.20.2"), QStringLiteral("001D4FA02003"), false}), 2);
}

// The account checks a run sends, in order, and which password the recorder takes then.
TEST(AdminAccount, ChecksTheRunsPasswordThenTheCurrentOneOnlyWhenReconfiguring) {
  AdminAccountFacts f;
  EXPECT_EQ(NextAdminCheck(f), AdminPassword::Wanted);
  f.wanted = A::Refused;
  EXPECT_EQ(NextAdminCheck(f), AdminPassword::None);
  f.reconfigure = true;
  EXPECT_EQ(NextAdminCheck(f), AdminPassword::Current);
  f.current = A::Accepted;
  EXPECT_EQ(NextAdminCheck(f), AdminPassword::None);
  EXPECT_EQ(PasswordInUse(f), AdminPassword::Current);
  EXPECT_EQ(NextAdminCheck({true, {}, false, {}}), AdminPassword::None);
  EXPECT_EQ(PasswordInUse({true, {}, false, {}}), AdminPassword::Blank);
}

}  // namespace
}  // namespace vrx::steps
