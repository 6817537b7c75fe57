// Renders the disk page (two disks, one, none), its confirmation, the format progress and the failure into
// $VRX_BUILD_DIR/screenshots/ for a person to look at. The checks only guard against blank pictures.
#include <QPainter>
#include <QtTest>
#include <memory>

#include "HddPageFixture.h"
#include "VeiledShot.h"
#include "i18n/LangString.h"
#include "ui/Alerts.h"
#include "ui/Buttons.h"
#include "ui/Overlay.h"
#include "ui/Waiting.h"
#include "WizardTestSupport.h"

using namespace vrx;
using namespace hddtest;
using vrx::test::ColourCount;
using vrx::test::Veiled;

using vrx::test::UnderPopup;
using vrx::test::UnderWaiting;

namespace {

QString OutPath(const QString& name) {
  return vrx::test::ScreenshotDir() + "/" + name + ".png";
}

void Save(const QImage& shot, const QString& name) {
  QVERIFY(ColourCount(shot) > 20);
  QVERIFY(shot.save(OutPath(name)));
}

}  // namespace

class HddFormatScreenshotTest : public QObject {
  Q_OBJECT
  DiskPageRig rig_;

 private slots:
  void cleanup() {
    currentLanguage = 0;
    LoadLanguageFile(0);
    rig_.Close();
  }

  void ports_data() {
    QTest::addColumn<int>("hd1");
    QTest::addColumn<int>("hd2");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("language");
    QTest::newRow("two disks") << 1 << 1 << "hdd-two-disks" << 0;
    QTest::newRow("HD1") << 1 << 0 << "hdd-hd1" << 0;
    QTest::newRow("HD2") << 0 << 1 << "hdd-hd2" << 0;
    QTest::newRow("none") << 0 << 0 << "hdd-none" << 0;
    QTest::newRow("Russian, long texts") << 1 << 1 << "hdd-two-disks-ru" << 2;
    QTest::newRow("Simplified Chinese") << 0 << 1 << "hdd-hd2-zh_CN" << 5;
  }
  void ports() {
    QFETCH(int, hd1);
    QFETCH(int, hd2);
    QFETCH(QString, name);
    QFETCH(int, language);
    currentLanguage = language;
    LoadLanguageFile(language);
    OpenDiskPage(rig_, /*poll*/ false);
    rig_.page->Report(hd1, hd2, hd1, hd2);
    QTRY_COMPARE(rig_.page->pictureState(), hd1 + 2 * hd2);
    Save(rig_.page->grab().toImage(), name);
  }

  void alerts() {
    OpenDiskPage(rig_, /*poll*/ false);
    rig_.page->Report(0, 0, 0, 0);
    QTRY_VERIFY(rig_.page->ports().plugged == (PortFlags{0, 0}));
    QImage noDisk;
    WhenShown<ui::CAlarmDisplayPage>([&](ui::CAlarmDisplayPage* alert) {
      noDisk = UnderPopup(rig_.page, alert);
      alert->okButton()->click();
    });
    rig_.page->nextButton()->click();
    Save(noDisk, "hdd-no-hd-found");

    rig_.page->Report(1, 1, 1, 1);
    QTRY_COMPARE(rig_.page->pictureState(), 3);
    QImage confirm;
    WhenShown<ui::CAlarmDisplayPage>([&](ui::CAlarmDisplayPage* alert) {
      confirm = UnderPopup(rig_.page, alert);
      alert->cancelButton()->click();
    });
    rig_.page->nextButton()->click();
    Save(confirm, "hdd-confirm");
  }

  // HD1 formats slowly enough to be caught half-way; HD2 then fails.
  void progressAndFailure() {
    rig_.Start(Scenario(R"({"plugged": true, "ready": true, "fs": 4})",
                 R"({"plugged": true, "ready": true, "fs": 1, "format_fails": true})",
                 /*formatSeconds*/ 6));
    OpenDiskPage(rig_, /*poll*/ true);
    QTRY_COMPARE(rig_.page->pictureState(), 3);

    WhenShown<ui::CAlarmDisplayPage>([](ui::CAlarmDisplayPage* alert) { alert->okButton()->click(); });
    QImage progress, failure;
    WhenShown<ui::CWaitingPage>([&](ui::CWaitingPage* waiting) {
      auto* watch = new QTimer(waiting);
      QObject::connect(watch, &QTimer::timeout, waiting, [&, watch, waiting] {
        if (rig_.page->job().progress() < 30) return;
        watch->stop();
        QTest::qWait(150);  // the progress line follows every 100 ms
        progress = UnderWaiting(rig_.page, waiting);
      });
      watch->start(20);
    });
    WhenShown<ui::CErrorPage>([&](ui::CErrorPage* error) {
      failure = UnderPopup(rig_.page, error);
      error->closeButton()->click();
    });
    rig_.page->nextButton()->click();
    Save(progress, "hdd-formatting");
    Save(failure, "hdd-format-failed");
  }
};

QTEST_MAIN(HddFormatScreenshotTest)
#include "HddFormatScreenshotTest.moc"
