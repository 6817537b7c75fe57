// The camera page against the simulated recorder and cameras: which tick needs which popup, the four-tick
// limit, the create popup's checks, wrong and failed passwords, both camera paths, a rescan after a camera
// moved, what Next removes and adds (an add that never finishes is named, not counted), an empty list and
// unreadable registration info.
#include <QAccessible>
#include <QtTest>
#include <memory>

#include "AccessibleTree.h"
#include "net/UrlText.h"
#include "CameraPageFixture.h"
#include "ui/Labels.h"

using namespace camtest;

namespace {

const QString kLengthRule =
    "The password must be between 6-30 characters; not contain special characters: (/), (:), (&),(space).";
const QString kMismatch = "The passwords don't match. Please try again.";
const QString kWrongPassword = "Incorrect password. Please try again.";
const QString kSetFailed = "Failed to set account password";
// A camera in its factory state takes Basic: the client sends "admin:" as Basic when the password is empty.
const std::string kBasic = R"("auth": "basic")";

// The darkest pixel of a row's model cell: black text reaches near 0, grey text stays near 127.
int DarkestInModelCell(CCamListCtrl* list, int row) {
  const QImage shot = list->grab().toImage();
  const QRect cell = list->CellRect(row, 5);
  int darkest = 255;
  for (int y = cell.top(); y <= cell.bottom(); ++y)
    for (int x = cell.left(); x <= cell.right(); ++x) darkest = qMin(darkest, qGray(shot.pixel(x, y)));
  return darkest;
}

std::string Base64(const std::string& text) { return QByteArray::fromStdString(text).toBase64().toStdString(); }

QString AddRequest(int avdevid, const Cam& c, const std::string& password) {
  return QString::fromStdString("avdevid=" + std::to_string(avdevid) + "&avdevname=" + c.model + "&hostname=" +
                                Address(c.host) + "&hostid=" + CameraId(c.host) + "&protocol=1&protocoltype=" +
                                std::to_string(c.protocolType) +
                                // Base64's "=" travels percent-encoded, as every value does
                                "&account=" + vrx::net::PercentEncode(Base64("admin")) +
                                "&pass=" + vrx::net::PercentEncode(Base64(password)) + "&brand=Halvik&product=" + c.model);
}

}  // namespace

class CameraSearchPageTest : public QObject {
  Q_OBJECT

  CameraPageRig rig_;

 private slots:
  void cleanup() { rig_.Close(); }

  void tickAsksForWhatIsMissing_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("popup");
    QTest::newRow("admin, known password") << "admin" << "lobby135" << "";
    QTest::newRow("admin, empty password") << "admin" << "" << "create";
    QTest::newRow("no account") << "" << "" << "enter";
  }
  void tickAsksForWhatIsMissing() {
    QFETCH(QString, account);
    QFETCH(QString, password);
    QFETCH(QString, popup);
    OpenCameraPage(rig_, {{2, "HVC-2230", "lobby135", account.toStdString(), password.toStdString()}});
    PopupSeen seen;
    if (!popup.isEmpty()) AnswerPasswordPopup(seen, {});
    ClickTick(rig_.page, 0);
    QCOMPARE(seen.type, popup);
    QCOMPARE(rig_.page->list()->isTicked(0), popup.isEmpty());
    QCOMPARE(rig_.page->selection().ticked(), popup.isEmpty() ? 1 : 0);
    if (!popup.isEmpty()) {
      QVERIFY2(seen.prompt.contains("HVC-2230"), qPrintable(seen.prompt));
      QVERIFY(!seen.prompt.contains("VCM-7300Q") && !seen.prompt.contains("[Camera Name]"));
    }
  }

  void fourTickedGreyTheRest() {
    std::vector<Cam> cams;
    for (int i = 0; i < 5; ++i) cams.push_back({10 + i, "HVC-2230", "pass1234", "admin", "pass1234"});
    OpenCameraPage(rig_, cams);
    auto* list = rig_.page->list();
    for (int row = 0; row < 4; ++row) ClickTick(rig_.page, row);
    QCOMPARE(rig_.page->selection().ticked(), 4);
    QVERIFY(DarkestInModelCell(list, 4) > 100);  // grey
    QVERIFY(DarkestInModelCell(list, 0) < 60);   // a ticked row stays black

    PopupSeen seen;
    ClickTick(rig_.page, 4);  // nothing happens: no popup, no tick
    QVERIFY(!list->isTicked(4));
    QCOMPARE(rig_.page->selection().ticked(), 4);

    ClickTick(rig_.page, 1);  // untick one: the rest turn black and clickable again
    QCOMPARE(rig_.page->selection().ticked(), 3);
    QVERIFY(DarkestInModelCell(list, 4) < 60);
    ClickTick(rig_.page, 4);
    QVERIFY(list->isTicked(4));
    QCOMPARE(rig_.page->selection().ticked(), 4);
  }

  // A reader hears one item per camera with its model and address, ticked or not, and the list has the focus.
  void rowsAreCheckableItemsForAReader() {
    OpenCameraPage(rig_, {{10, "HVC-2230", "pass1234", "admin", "pass1234"}, {11, "HVC-1120", "pass1234", "admin", "pass1234"}});
    auto* list = rig_.page->list();
    ClickTick(rig_.page, 0);
    const QList<QAccessibleInterface*> items = vrx::test::ListItems(list);
    QCOMPARE(items.size(), 2);
    for (int row = 0; row < 2; ++row) {
      const QString name = items[row]->text(QAccessible::Name);
      QVERIFY2(name.contains(list->CellText(row, 8)) && name.contains(row == 0 ? "HVC-2230" : "HVC-1120"),
               qPrintable(name));
      QCOMPARE(bool(items[row]->state().checked), row == 0);
    }
  }

  // The create popup tells each fault of the new-password rule (its boundaries are the rule's own table,
  // steps' NewCameraPassword) with its text and sends nothing for it; a set the camera does not take.
  void createPopupChecksThenSets_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("confirm");
    QTest::addColumn<bool>("online");
    QTest::addColumn<QString>("error");
    QTest::newRow("too short") << "abcde" << "abcde" << true << kLengthRule;
    QTest::newRow("forbidden character") << "abc:defg" << "abc:defg" << true << kLengthRule;
    QTest::newRow("mismatch") << "a b" << "a:b" << true << kMismatch;
    QTest::newRow("accepted") << "abc123" << "abc123" << true << "";
    QTest::newRow("camera offline") << "abc123" << "abc123" << false << kSetFailed;
  }
  void createPopupChecksThenSets() {
    QFETCH(QString, password);
    QFETCH(QString, confirm);
    QFETCH(bool, online);
    QFETCH(QString, error);
    OpenCameraPage(rig_, {{3, "HVC-1120", "", "admin", "", 1, false, kBasic}});
    if (!online) QVERIFY(rig_.sim->setCameraOnline(Address(3), false));
    PopupSeen seen;
    AnswerPasswordPopup(seen, {{password, confirm}});
    ClickTick(rig_.page, 0);
    QCOMPARE(seen.type, QString("create"));
    if (error.isEmpty()) {
      QCOMPARE(seen.errors, QStringList{});
      QVERIFY(rig_.page->list()->isTicked(0));
      QCOMPARE(CameraPassword(*rig_.sim, 3), password.toStdString());
      QCOMPARE(QString::fromStdString(std::string(rig_.host->GetCamera(0)->password.View())), password);
      QCOMPARE(rig_.host->GetCamera(0)->verified, 1);
    } else {
      QCOMPARE(seen.errors, QStringList{error});
      QVERIFY(!rig_.page->list()->isTicked(0));
      QCOMPARE(CameraPassword(*rig_.sim, 3), std::string());
      if (online) QCOMPARE(rig_.Requests("GET /system.cgi"), QStringList{});
    }
  }

  // The enter popup sends any text, an empty one too; a wrong one is told and the next try can succeed.
  void enterPopupSendsAnyTextAndRetries() {
    OpenCameraPage(rig_, {{4, "HVC-2230", "door4321", "", ""}});
    PopupSeen seen;
    AnswerPasswordPopup(seen, {{"", ""}, {"door4321", ""}});
    ClickTick(rig_.page, 0);
    QCOMPARE(seen.type, QString("enter"));
    QCOMPARE(seen.errors, QStringList{kWrongPassword});
    // The empty try went to the camera: "admin" with an empty password.
    bool emptySent = false;
    const nlohmann::json log = rig_.sim->log();
    for (const auto& entry : log)
      emptySent |= entry.value("request", "") == "GET /userlist.cgi?" && entry.contains("headers") &&
                   entry["headers"].is_object() &&
                   entry["headers"].value("Authorization", "") == "Basic " + Base64("admin:");
    QVERIFY(emptySent);
    QVERIFY(rig_.page->list()->isTicked(0));
    QVERIFY(rig_.page->list()->passwordKnown(0));
    QCOMPARE(rig_.host->GetCamera(0)->password.View(), std::string_view("door4321"));
  }

  void wrongPasswordLeavesTheRowUnticked() {
    OpenCameraPage(rig_, {{5, "HVC-2230", "door4321", "", ""}});
    PopupSeen seen;
    AnswerPasswordPopup(seen, {{"door1234", ""}});
    ClickTick(rig_.page, 0);
    QCOMPARE(seen.errors, QStringList{kWrongPassword});
    QVERIFY(!rig_.page->list()->isTicked(0));
    QVERIFY(!rig_.page->list()->passwordKnown(0));
    QCOMPARE(rig_.page->selection().ticked(), 0);
  }

  // Both camera paths prove a password (enter) and set one (create) on the simulated camera.
  void bothPathsProveAndSet_data() {
    QTest::addColumn<int>("protocolType");
    QTest::newRow("HTTP") << 1;
    QTest::newRow("datagram") << 0;
  }
  void bothPathsProveAndSet() {
    QFETCH(int, protocolType);
    OpenCameraPage(rig_, {{6, "HVC-0810", "yard2468", "", "", protocolType},
               {7, "HVC-0810", "", "admin", "", protocolType, false, kBasic}});
    if (protocolType == 0) QVERIFY(Discover(*rig_.host));
    PopupSeen enter, create;
    AnswerPasswordPopup(enter, {{"yard2468", ""}});
    ClickTick(rig_.page, 0);
    AnswerPasswordPopup(create, {{"newpass7", "newpass7"}});
    ClickTick(rig_.page, 1);
    QCOMPARE(enter.errors, QStringList{});
    QCOMPARE(create.errors, QStringList{});
    QVERIFY(rig_.page->list()->isTicked(0));
    QVERIFY(rig_.page->list()->isTicked(1));
    QCOMPARE(CameraPassword(*rig_.sim, 7), std::string("newpass7"));
    // The path taken: datagrams leave no HTTP request at the cameras.
    const int http = rig_.Requests("GET /userlist.cgi").size() + rig_.Requests("GET /system.cgi").size();
    QCOMPARE(http > 0, protocolType != 0);
  }

  // A proven password holds for the camera at the address it was proven at. When a rescan finds its id at
  // another address, that is another device as far as the wizard knows: the password is not kept for it, not
  // offered, its row neither ticked nor shown as known, and nothing reaches the camera there until the user
  // types a password again.
  void movedCameraIsAskedAgain() {
    const Cam door{8, "HVC-2230", "door4321", "", ""};
    OpenCameraPage(rig_, {door, {9, "HVC-1120", "", "admin", ""}});
    PopupSeen seen;
    AnswerPasswordPopup(seen, {{"door4321", ""}});
    ClickTick(rig_.page, 0);
    QVERIFY(rig_.page->list()->isTicked(0));

    QVERIFY(!rig_.sim->control("/camera?address=" + Address(8) + "&move_to=127.0.16.80").empty());
    const std::size_t logBefore = rig_.sim->log().size();
    rig_.page->rescanButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(rig_.page->scansEnded() == 2, 15000);
    QCOMPARE(rig_.page->list()->rowCount(), 2);
    QCOMPARE(rig_.page->list()->CellText(0, 8), QString("127.0.16.80"));
    QVERIFY(!rig_.page->list()->isTicked(0));
    QVERIFY(!rig_.page->list()->passwordKnown(0));  // no preview either
    QCOMPARE(rig_.page->selection().ticked(), 0);
    QVERIFY(rig_.host->GetCamera(0)->password.empty());

    PopupSeen again;
    AnswerPasswordPopup(again, {});  // asked again; closed without an answer
    ClickTick(rig_.page, 0);
    QCOMPARE(again.type, QString("enter"));
    QVERIFY(!rig_.page->list()->isTicked(0));
    // No camera has heard from the wizard since the move: no check, no picture, no credentials.
    const nlohmann::json since = rig_.sim->log(logBefore);
    for (const auto& entry : since)
      QVERIFY2(entry["device"].get<std::string>().rfind("camera", 0) != 0, entry.dump().c_str());

    rig_.page->nextButton()->click();
    QTRY_VERIFY(rig_.host->pageType() > CCameraSearchDlg::kPageType);
    QCOMPARE(rig_.Requests("GET /config/addavdev?"), QStringList{});
  }

  // Next: the assigned camera left unticked is removed by its position; ticked cameras are added with
  // avdevid counting only finished adds; the add that never finishes is named and not counted as added.
  void nextRemovesAndAdds() {
    const Cam lobby{20, "HVC-2230", "lobby135", "admin", "lobby135", 1, true};
    const Cam garage{21, "HVC-1120", "garage77", "admin", "garage77"};
    const Cam hung{22, "HVC-0810", "yard2468", "admin", "yard2468", 1, false, R"("add_hangs": true)"};
    const Cam door{23, "HVC-2230", "door4321", "admin", "door4321"};
    OpenCameraPage(rig_, {lobby, garage, hung, door});
    CameraPagePolls polls;
    polls.update.polls = 30;  // give up on the hung add after 1.5 s
    rig_.page->setPolls(polls);
    for (int row = 1; row < 4; ++row) ClickTick(rig_.page, row);

    QString told;
    WhenShown<ui::CErrorPage>([&told](ui::CErrorPage* error) {
      told = error->message();
      error->closeButton()->click();
    });
    rig_.page->nextButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(rig_.host->pageType() > CCameraSearchDlg::kPageType, 30000);

    QCOMPARE(rig_.Requests("GET /config/delavdev?"), QStringList{"avdevid=0"});
    QCOMPARE(rig_.Requests("GET /config/addavdev?"),
             (QStringList{AddRequest(0, garage, "garage77"), AddRequest(1, door, "door4321")}));
    QVERIFY2(told.contains("HVC-0810 (127.0.16.22)"), qPrintable(told));
    QVERIFY(!told.contains("127.0.16.21") && !told.contains("127.0.16.23"));
    // Selected: ticked at Next; added: confirmed by the recorder (what the summary lists).
    std::vector<int> selected, added;
    for (int i = 0; i < 4; ++i) {
      selected.push_back(rig_.host->GetCamera(i)->selected);
      added.push_back(rig_.host->GetCamera(i)->added);
    }
    QCOMPARE(selected, (std::vector<int>{0, 1, 1, 1}));
    QCOMPARE(added, (std::vector<int>{0, 1, 0, 1}));
    // The recorder's cloud state reached the host for the cloud page.
    QCOMPARE(rig_.host->CloudValue(steps::kCloudStatus), QString("1"));
    QCOMPARE(rig_.host->GetCloudEmail(), QString("owner@kelvaro.test"));
  }

  void emptyListShowsNoCameraFound() {
    OpenCameraPage(rig_, {});
    QVERIFY(rig_.page->noCameraLabel()->isVisible());
    QCOMPARE(rig_.page->noCameraLabel()->text(), QString("No camera found!"));
  }

  // The registration read fails only when its request fails (401, 409): then nothing is changed and the page
  // stays. Any other answer is read for its keys (none: empty values) and Next goes on.
  void registrationReadFailsOnlyWhenTheRequestFails_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("stays");
    QTest::newRow("401") << 401 << true;
    QTest::newRow("409") << 409 << true;
    QTest::newRow("404") << 404 << false;
    QTest::newRow("500") << 500 << false;
  }
  void registrationReadFailsOnlyWhenTheRequestFails() {
    QFETCH(int, status);
    QFETCH(bool, stays);
    const Cam lobby{30, "HVC-2230", "lobby135", "admin", "lobby135", 1, true};
    OpenCameraPage(rig_, {lobby, {31, "HVC-1120", "garage77", "admin", "garage77"}},
              ", \"reginfo_status\": " + std::to_string(status));
    ClickTick(rig_.page, 1);
    QString told;
    WhenShown<ui::CErrorPage>([&told](ui::CErrorPage* error) {
      told = error->message();
      error->closeButton()->click();
    });
    rig_.page->nextButton()->click();
    if (stays) {
      QCOMPARE(told, QString("Check Network Failed!"));
      QCOMPARE(rig_.host->pageType(), int(CCameraSearchDlg::kPageType));
      QVERIFY(rig_.page->nextButton()->isEnabled());
      QTest::qWait(300);
      QCOMPARE(rig_.Requests("GET /config/addavdev?") + rig_.Requests("GET /config/delavdev?"),
               QStringList{});
      return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(rig_.host->pageType() > CCameraSearchDlg::kPageType, 30000);
    QCOMPARE(told, QString());
    QCOMPARE(rig_.host->GetCloudEmail(), QString());  // no keys in that answer
    QCOMPARE(rig_.Requests("GET /config/addavdev?").size(), 1);
  }

  // Values of an earlier read do not survive a portal read (2012) that fails.
  void failedPortalReadLeavesNoEarlierValues() {
    OpenCameraPage(rig_, {{32, "HVC-2230", "lobby135", "admin", "lobby135"}}, R"(, "portal_status": 401)");
    rig_.host->SetCloudValue(steps::kCloudAccess, "1");
    rig_.host->SetCloudValue(steps::kCloudPortalNumber, "EARLIER1");
    rig_.host->SetCloudValue(steps::kCloudPortalUrl, "earlier.kelvaro.test");
    rig_.page->nextButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(rig_.host->pageType() > CCameraSearchDlg::kPageType, 30000);
    QCOMPARE(rig_.host->CloudValue(steps::kCloudAccess), QString("0"));
    QCOMPARE(rig_.host->CloudValue(steps::kCloudPortalNumber), QString());
    QCOMPARE(rig_.host->CloudValue(steps::kCloudPortalUrl), QString());
  }

  // A hostile camera list: rows whose address is no device address are grey, cannot be ticked and are never
  // contacted; models are shown without control or direction-override characters.
  void hostileRowsAreNeverContacted() {
    const std::string lines =
        ", \"listed_lines\": [\"0;10.0.0.5@127.0.0.99;001D4FB01661;Halvik;HVC-2230;admin;pw1234;;1\", "
        "\"0;127.0.0.31/../x;001D4FB01662;Halvik;HVC-2230;;;;1\", "
        "\"0;127.0.16.63;001D4FB01663;Halvik;VCM\\u202eevil;admin;pw1234;;1\", "
        "\"0;127.0.16.64\\u001b[2J;001D4FB01664;Halvik;HVC\\u001b[2J-1;;;;1\"]";
    OpenCameraPage(rig_, {}, lines, 4);
    auto* list = rig_.page->list();
    const std::vector<bool> usable{false, false, true, false};
    for (int row = 0; row < 4; ++row) QCOMPARE(list->usable(row), bool(usable[std::size_t(row)]));
    QCOMPARE(list->CellText(2, 5), QString("VCMevil"));
    QCOMPARE(list->CellText(3, 5), QString("HVC[2J-1"));
    const QList<QAccessibleInterface*> items = vrx::test::ListItems(list);
    QCOMPARE(items.size(), 4);
    for (int row = 0; row < 4; ++row) {
      QCOMPARE(bool(items[row]->state().disabled), !usable[std::size_t(row)]);
      QVERIFY(!items[row]->text(QAccessible::Name).contains(QChar(0x202E)));
    }

    for (int row : {0, 1, 3}) {
      ClickTick(rig_.page, row);
      QTest::mouseClick(list, Qt::LeftButton, {}, Centre(list->PreviewIconRect(row)));
      QVERIFY(!list->isTicked(row));
    }
    QCOMPARE(rig_.page->selection().ticked(), 0);
    ClickTick(rig_.page, 2);  // the cleaned row is a camera like any other
    QVERIFY(list->isTicked(2));
    rig_.page->nextButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(rig_.host->pageType() > CCameraSearchDlg::kPageType, 30000);

    // Only the recorder was asked anything, and only the usable row was added.
    const nlohmann::json log = rig_.sim->log();
    for (const auto& entry : log) {
      const QString text = QString::fromStdString(entry.dump());
      for (const char* never : {"10.0.0.5", "127.0.0.99", "127.0.0.31", "/../x", "127.0.16.64"})
        QVERIFY2(!text.contains(never) || text.contains("kelvarodiscovery"), qPrintable(text));
    }
    const QStringList adds = rig_.Requests("GET /config/addavdev?");
    QCOMPARE(adds.size(), 1);
    QVERIFY2(adds[0].contains("hostname=127.0.16.63"), qPrintable(adds[0]));
  }

  void backGoesToTheDiskPage() {
    OpenCameraPage(rig_, {{40, "HVC-2230", "lobby135", "admin", "lobby135"}});
    rig_.page->backButton()->click();
    QTRY_COMPARE(rig_.host->pageType(), int(kPageHddFormat));
  }
};

QTEST_MAIN(CameraSearchPageTest)
#include "CameraSearchPageTest.moc"
