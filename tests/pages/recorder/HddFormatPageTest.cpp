// The disk page against the simulated recorder: which disks are formatted and with which file system, the
// picture following the ports, CANCEL and "No HD Found" leaving the disks alone, the disk check, a failed
// format with polling restarted, and what Back and "Continue without formatting" tell the host.
#include <QtTest>
#include <memory>

#include "HddPageFixture.h"
#include "ui/Alerts.h"
#include "ui/Buttons.h"
#include "ui/Labels.h"
#include "ui/Waiting.h"

using namespace vrx;
using namespace hddtest;

namespace {

const std::string kReadyFs4 = R"({"plugged": true, "ready": true, "fs": 4})";
const std::string kReadyFs1 = R"({"plugged": true, "ready": true, "fs": 1})";
const std::string kFailing = R"({"plugged": true, "ready": true, "fs": 1, "format_fails": true})";
const std::string kEmpty = R"({"plugged": false})";

void AnswerAlert(bool ok) {
  WhenShown<ui::CAlarmDisplayPage>([ok](ui::CAlarmDisplayPage* alert) {
    (ok ? alert->okButton() : alert->cancelButton())->click();
  });
}

}  // namespace

class HddFormatPageTest : public QObject {
  Q_OBJECT
  DiskPageRig rig_;

 private slots:
  void cleanup() { rig_.Close(); }

  void formatsThePluggedDisksWithTheirFileSystem_data() {
    QTest::addColumn<QString>("hd1");
    QTest::addColumn<QString>("hd2");
    QTest::addColumn<int>("picture");
    QTest::addColumn<QStringList>("requests");
    QTest::newRow("HD2 only, code 1") << QString::fromStdString(kEmpty) << QString::fromStdString(kReadyFs1) << 2
                                      << QStringList{"storageid=1&partition=0&fs=1"};
    QTest::newRow("both, codes 4 and 1")
        << QString::fromStdString(kReadyFs4) << QString::fromStdString(kReadyFs1) << 3
        << QStringList{"storageid=0&partition=0&fs=2", "storageid=1&partition=0&fs=1"};
  }
  void formatsThePluggedDisksWithTheirFileSystem() {
    QFETCH(QString, hd1);
    QFETCH(QString, hd2);
    QFETCH(int, picture);
    QFETCH(QStringList, requests);
    rig_.Start(Scenario(hd1.toStdString(), hd2.toStdString()));
    OpenDiskPage(rig_, /*poll*/ true);
    QTRY_COMPARE(rig_.page->pictureState(), picture);
    QCOMPARE(rig_.page->picture()->current(), picture);

    AnswerAlert(true);
    rig_.page->nextButton()->click();  // returns once the progress overlay has closed

    QVERIFY(!rig_.page->job().failed());
    QCOMPARE(rig_.Requests("GET /config/storageformat?"), requests);
    QCOMPARE(rig_.page->told, (Told{kStopPolling, kNext}));
    for (const auto& disk : rig_.sim->state()["recorder"]["disks"])
      if (disk["plugged"].get<bool>()) QVERIFY(disk["formatted"].get<bool>());
  }

  void pictureFollowsThePorts() {
    rig_.Start(Scenario(kReadyFs1, kReadyFs1));
    OpenDiskPage(rig_, /*poll*/ true);
    QTRY_COMPARE(rig_.page->pictureState(), 3);
    QVERIFY(rig_.sim->plugDisk(0, false, false));
    QTRY_COMPARE(rig_.page->picture()->current(), 2);
    QVERIFY(rig_.sim->plugDisk(1, false, false));
    QTRY_COMPARE(rig_.page->picture()->current(), 0);
    QVERIFY(rig_.sim->plugDisk(0, true, true));
    QTRY_COMPARE(rig_.page->picture()->current(), 1);
  }

  void cancelLeavesTheDisksAlone() {
    rig_.Start(Scenario(kReadyFs4, kReadyFs1));
    OpenDiskPage(rig_, /*poll*/ true);
    QTRY_COMPARE(rig_.page->pictureState(), 3);
    QString title;
    WhenShown<ui::CAlarmDisplayPage>([&title](ui::CAlarmDisplayPage* alert) {
      title = alert->title();
      alert->cancelButton()->click();
    });
    rig_.page->nextButton()->click();
    QCOMPARE(title, QString("Important Alert"));
    QVERIFY(rig_.page->told.empty());
    QVERIFY(rig_.page->isVisible());
    QTest::qWait(300);  // a format request would be sent at once
    QCOMPARE(rig_.Requests("GET /config/storageformat?"), QStringList{});
  }

  // The recorder reports -1, or refuses the format (the disk left the bay after the last report): the error
  // popup, the poller restarted, the user still on the page.
  void failedFormatKeepsThePageAndPollsAgain_data() {
    QTest::addColumn<QString>("hd1");
    QTest::addColumn<bool>("unplugUnseen");
    QTest::addColumn<int>("pictureAfter");  // once HD2 is plugged in
    QTest::newRow("progress -1") << QString::fromStdString(kFailing) << false << 3;
    QTest::newRow("format refused") << QString::fromStdString(kReadyFs1) << true << 2;
  }
  void failedFormatKeepsThePageAndPollsAgain() {
    QFETCH(QString, hd1);
    QFETCH(bool, unplugUnseen);
    QFETCH(int, pictureAfter);
    rig_.Start(Scenario(hd1.toStdString(), kEmpty));
    OpenDiskPage(rig_, /*poll*/ true);
    QTRY_COMPARE(rig_.page->pictureState(), 1);
    if (unplugUnseen) {
      ControlPoller(*rig_.host, 1);
      QVERIFY(rig_.sim->plugDisk(0, false, false));
    }
    AnswerAlert(true);
    QString message;
    WhenShown<ui::CErrorPage>([&message](ui::CErrorPage* error) {
      message = error->message();
      error->closeButton()->click();
    });
    rig_.page->nextButton()->click();

    QCOMPARE(message, QString("Failed to format HDD!"));
    QVERIFY(rig_.page->job().failed());
    QCOMPARE(rig_.page->told, (Told{kStopPolling, kPollAgain}));
    QVERIFY(rig_.sim->plugDisk(1, true, true));
    QTRY_COMPARE(rig_.page->picture()->current(), pictureAfter);
  }

  // Without the recorder: the host's reports are posted by the test.
  void noReadyDiskShowsNoHdFound_data() {
    QTest::addColumn<int>("ready0");
    QTest::addColumn<int>("plugged0");
    QTest::newRow("nothing plugged") << 0 << 0;
    QTest::newRow("plugged, not ready") << 0 << 1;
  }
  void noReadyDiskShowsNoHdFound() {
    QFETCH(int, ready0);
    QFETCH(int, plugged0);
    OpenDiskPage(rig_, /*poll*/ false);
    rig_.page->Report(ready0, 0, plugged0, 0);
    QTRY_COMPARE(rig_.page->ports().plugged[0], plugged0);
    QString title;
    bool withCancel = false;
    WhenShown<ui::CAlarmDisplayPage>([&](ui::CAlarmDisplayPage* alert) {
      title = alert->title();
      withCancel = alert->cancelButton() != nullptr;
      alert->okButton()->click();
    });
    rig_.page->nextButton()->click();
    QCOMPARE(title, QString("No HD Found"));
    QVERIFY(withCancel);
    QVERIFY(rig_.page->told.empty());
  }

  // The disk leaves while the question is open: OK then finds no disk, says so, and formats nothing.
  void diskPulledDuringTheQuestion() {
    OpenDiskPage(rig_, /*poll*/ false);
    rig_.page->Report(1, 0, 1, 0);
    QTRY_COMPARE(rig_.page->pictureState(), 1);
    QString second;
    WhenShown<ui::CAlarmDisplayPage>([&](ui::CAlarmDisplayPage* question) {
      rig_.page->Report(0, 0, 0, 0);
      QCoreApplication::processEvents();
      WhenShown<ui::CAlarmDisplayPage>([&](ui::CAlarmDisplayPage* alert) {
        second = alert->title();
        alert->okButton()->click();
      });
      question->okButton()->click();
    });
    rig_.page->nextButton()->click();
    QCOMPARE(second, QString("No HD Found"));
    QCOMPARE(rig_.page->pictureState(), 0);
    QVERIFY(rig_.page->told.empty());
    QVERIFY(!rig_.page->job().running());
  }

  // HD2 ready, HD1 plugged but not ready: the check overlay waits for the next report, then the question.
  void checkWaitsForTheNextReport() {
    OpenDiskPage(rig_, /*poll*/ false);
    rig_.page->Report(0, 1, 1, 1);
    QTRY_COMPARE(rig_.page->ports().ready[1], 1);
    QString checkText, question;
    int ticksAtClose = -1;
    WhenShown<ui::CWaitingPage>([&](ui::CWaitingPage* waiting) {
      checkText = waiting->text();
      // Follow the overlay's tick count until it closes.
      auto* watch = new QTimer(waiting);
      QObject::connect(watch, &QTimer::timeout, waiting, [&ticksAtClose, waiting] { ticksAtClose = waiting->ticks(); });
      watch->start(5);
      rig_.page->Report(1, 1, 1, 1);
    });
    WhenShown<ui::CAlarmDisplayPage>([&](ui::CAlarmDisplayPage* alert) {
      question = alert->title();
      alert->cancelButton()->click();
    });
    rig_.page->nextButton()->click();
    QCOMPARE(checkText, QString("Checking your HDD"));
    QCOMPARE(question, QString("Important Alert"));
    QVERIFY2(ticksAtClose >= 0 && ticksAtClose < CHddFormatDlg::kCheckTicks, "closed by the report, not its maximum");
    QVERIFY(rig_.page->told.empty());
  }

  void leavingWithoutFormatStopsThePoller_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("nav");
    QTest::newRow("Back") << int(CWizardPage::kCmdBack) << int(NAV_BACK);
    QTest::newRow("continue without formatting") << int(CHddFormatDlg::kCmdSkipFormat) << int(NAV_NEXT);
  }
  void leavingWithoutFormatStopsThePoller() {
    QFETCH(int, command);
    QFETCH(int, nav);
    OpenDiskPage(rig_, /*poll*/ false);
    ui::CAvrelButton* button = rig_.page->button(command);
    QVERIFY(button);
    button->click();
    QCOMPARE(rig_.page->told, (Told{kStopPolling, {WM_WIZ_NAVIGATE, WPARAM(nav)}}));
  }
};

QTEST_MAIN(HddFormatPageTest)
#include "HddFormatPageTest.moc"
