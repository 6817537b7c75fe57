// The recorder setup road as a person walks it: the real frame and page host with every registered page, driven
// only by mouse clicks and typing, against the simulated recorder of the default scenario. Spanish is chosen on
// the welcome page and kept; the cabling pages, the search (the VRX-410Q, not the other model), a new admin
// password typed twice, another time zone, both disks formatted after the warning; the camera page ends the road.
// Afterwards the recorder itself must hold the password, the zone and the formatted disks, and it must have been
// asked for its zone list in Spanish.
//
// Every page and popup passed is saved to $VRX_BUILD_DIR/screenshots/e2e_NN_<what>.png.
#include <QPainter>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <map>
#include <memory>

#include "SimProcess.h"
#include "app/BriskoApp.h"
#include "app/BriskoDlg.h"
#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "i18n/LanguageTable.h"
#include "pages/AllPages.h"
#include "pages/intro/IntroPages.h"
#include "pages/recorder/HddFormatDlg.h"
#include "pages/recorder/NvrListCtrl.h"
#include "pages/recorder/NvrPwdDlg.h"
#include "pages/recorder/NvrSearchDlg.h"
#include "pages/recorder/NvrTimeZoneControls.h"
#include "pages/recorder/NvrTimeZoneDlg.h"
#include "ui/Alerts.h"
#include "ui/Buttons.h"
#include "ui/ComboBox.h"
#include "ui/EditCtrl.h"
#include "ui/Overlay.h"
#include "ui/Waiting.h"
#include "VeiledShot.h"
#include "WizardTestSupport.h"

using namespace vrx;
using vrx::test::SimProcess;

namespace {

constexpr int kSpanish = 3;
constexpr const char* kRecorderIp = "127.0.10.1";
constexpr const char* kNewPassword = "Vigil2024";

// Numbered pictures of the road, in the order they were taken.
class Album {
 public:
  void Save(const QImage& shot, const QString& what) {
    const QString path = QString("%1/e2e_%2_%3.png").arg(vrx::test::ScreenshotDir()).arg(++count_, 2, 10, QChar('0')).arg(what);
    if (!shot.save(path)) QWARN(qPrintable("could not save " + path));
  }
  int count() const { return count_; }

 private:
  int count_ = 0;
};

// The host as it is on screen, with top-level windows laid over it where they stand.
QImage HostWith(QWidget* host, QWidget* over = nullptr, int veilOpacity = 0, bool lighten = false) {
  return vrx::test::Veiled(host, veilOpacity, over, lighten);
}

template <class T>
T* VisibleTopLevel() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) return t;
  return nullptr;
}

void Click(QWidget* w, QPoint at = {}) {
  QTest::mouseClick(w, Qt::LeftButton, {}, at.isNull() ? w->rect().center() : at);
}

// Looks at the screen every 10 ms while the road is walked: photographs each popup and waiting veil once
// (the disk format once per disk, half-way), answers a popup the road expects, and closes any other popup
// after noting it, so a fault shows as a failure instead of a modal loop that never ends.
class PopupWatch : public QObject {
 public:
  using Answer = std::function<void(QDialog* popup)>;

  PopupWatch(CInterDialog& host, Album& album) : host_(host), album_(album) {
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &PopupWatch::Look);
    timer_.start();
  }
  // The next popup of that class on that page is expected; answer says how the user ends it.
  void Expect(int pageType, const char* popupClass, Answer answer) {
    expected_[Key(pageType, popupClass)] = std::move(answer);
  }
  const QStringList& unexpected() const { return unexpected_; }
  const QStringList& seen() const { return seen_; }

 private:
  static QString Key(int pageType, const QString& what) { return QString("p%1-%2").arg(pageType).arg(what); }

  void Look() {
    const int page = host_.pageType();
    if (auto* waiting = VisibleTopLevel<ui::CWaitingPage>()) LookAtWaiting(page, waiting);
    if (auto* veil = VisibleTopLevel<ui::CTransparentPage>(); veil && veil->popup() && veil->popup()->isVisible())
      LookAtPopup(page, veil->popup());
  }

  void LookAtWaiting(int page, ui::CWaitingPage* waiting) {
    QString what = "waiting";
    if (auto* disks = qobject_cast<CHddFormatDlg*>(host_.currentPage())) {
      if (disks->job().running() && disks->job().progress() < 40) return;  // half-way, so the line shows
      what = disks->job().running() ? QString("formatting-hd%1").arg(disks->job().diskIndex() + 1)
                                    : QString("formatting-done");
    } else if (waiting->ticks() < 2) {
      return;  // let the spinner and the text show first
    }
    const QString key = Key(page, what);
    if (taken_.contains(key)) return;
    taken_ << key;
    seen_ << key;
    album_.Save(HostWith(&host_, waiting, ui::CWaitingPage::kOpacity, true), key);
  }

  void LookAtPopup(int page, QDialog* popup) {
    if (popup == lastPopup_) return;  // seen already (a new popup is a new object: the pointer resets)
    lastPopup_ = popup;
    const QString key = Key(page, QString(popup->metaObject()->className()).section("::", -1));
    seen_ << key;
    album_.Save(HostWith(&host_, popup, ui::CTransparentPage::kOpacity), key);
    auto it = expected_.find(key);
    if (it == expected_.end()) {
      QString text;
      if (auto* error = qobject_cast<ui::CErrorPage*>(popup)) text = ": " + error->message();
      unexpected_ << key + text;
      qWarning("unexpected popup %s, closed", qPrintable(key + text));
      popup->reject();
      return;
    }
    Answer answer = std::move(it->second);
    expected_.erase(it);
    answer(popup);
  }

  CInterDialog& host_;
  Album& album_;
  QTimer timer_;
  std::map<QString, Answer> expected_;
  QSet<QString> taken_;
  QPointer<QDialog> lastPopup_;
  QStringList unexpected_, seen_;
};

// HTTP requests the recorder answered, as "path outcome-code" (the authentication challenges left out).
QStringList RecorderRequests(const SimProcess& sim) {
  QStringList out;
  for (const auto& e : sim.log())
    if (e.value("kind", "") == "http" && e.value("device", "") == "recorder" &&
        e.value("outcome", "").rfind("401", 0) != 0)
      out << QString::fromStdString(e.value("request", "")).remove(QRegularExpression("^GET ")) + " " +
                 QString::fromStdString(e.value("outcome", "").substr(0, 3));
  return out;
}

}  // namespace

class RecorderRoadTest : public QObject {
  Q_OBJECT

  Album album_;
  int chosenZone_ = 0;

  // The page of that type once the host shows it, or null (with a note) when it did not come in time.
  static CWizardPage* PageOf(CInterDialog& host, int type, int timeoutMs = 5000) {
    return vrx::test::WaitForPage<CWizardPage>(host, type, timeoutMs);
  }

  void ShootPage(CInterDialog& host, const QString& what) { album_.Save(HostWith(&host), what); }

  // The road from the welcome page to the camera page; returns early (with the failure recorded) when a step fails.
  void Walk(CInterDialog& host, PopupWatch& watch) {
    QApplication::setActiveWindow(&host);

    // 1: Spanish from the language list; every text of the page follows at once.
    auto* home = qobject_cast<CHomeDlg*>(host.currentPage());
    QVERIFY(home);
    ShootPage(host, "welcome");
    Click(home->languageList());
    ui::CComboBoxList* languages = home->languageList()->dropDown();
    QVERIFY(languages);
    QTRY_VERIFY(languages->isVisible());
    QVERIFY(languages->rowRect(kSpanish).isValid());
    album_.Save(HostWith(&host, languages), "welcome-language-list");
    Click(languages, languages->rowRect(kSpanish).center());
    QTRY_COMPARE(int(currentLanguage), kSpanish);
    QCOMPARE(home->startButton()->text(), QString("INICIAR"));
    ShootPage(host, "welcome-es");
    Click(home->startButton());

    // 2-5: what the user needs and the cabling, in Spanish.
    const char* cabling[] = {"requirements", "power", "network-cable", "led"};
    for (int type = kPageRequirement; type <= kPageIntroduction3; ++type) {
      CWizardPage* page = PageOf(host, type);
      QVERIFY(page && page->nextButton());
      QCOMPARE(page->nextButton()->text(), QString("SIGUIENTE   >"));
      ShootPage(host, cabling[type - 2]);
      Click(page->nextButton());
    }

    // 6: the search lists the VRX-410Q only (the VRX-208 beside it is another model); the user marks it.
    auto* search = qobject_cast<CNvrSearchDlg*>(PageOf(host, CNvrSearchDlg::kPageType));
    QVERIFY(search);
    CNvrListCtrl* list = search->list();
    QTRY_VERIFY_WITH_TIMEOUT(list->rowCount() > 0 && !search->searching(), 15000);
    QCOMPARE(list->rowCount(), 1);
    QCOMPARE(list->CellText(0, CNvrListCtrl::kIpColumn), QString(kRecorderIp));
    Click(list, list->RadioRect(0).center());
    QVERIFY(list->isSelected(0));
    QVERIFY(search->nextButton()->isEnabled());
    ShootPage(host, "search");
    Click(search->nextButton());

    // 7: the probe finds a new recorder, so the page asks for a new password twice.
    auto* password = qobject_cast<CNvrPwdDlg*>(PageOf(host, CNvrPwdDlg::kPageType));
    QVERIFY(password);
    QCOMPARE(host.GetRecorderIp(), QString(kRecorderIp));
    QTRY_VERIFY_WITH_TIMEOUT(password->modeKnown(), 8000);
    QCOMPARE(password->mode(), int(CNvrPwdDlg::kCreate));
    Click(password->passwordEdit());
    QTest::keyClicks(password->passwordEdit(), kNewPassword);
    Click(password->confirmEdit());
    QTest::keyClicks(password->confirmEdit(), kNewPassword);
    QCOMPARE(password->errorField(), int(CNvrPwdDlg::kNoField));
    ShootPage(host, "password");
    Click(password->nextButton());

    // 8: the zone list in Spanish with the recorder's zone (14) chosen; the user picks another one.
    auto* zones = qobject_cast<CNvrTimeZoneDlg*>(PageOf(host, CNvrTimeZoneDlg::kPageType, 15000));
    QVERIFY(zones);
    QCOMPARE(host.GetAdminPassword(), QString(kNewPassword));
    QTRY_VERIFY_WITH_TIMEOUT(zones->zoneCount() > 0, 10000);
    QCOMPARE(zones->chosenZone(), 14);
    ShootPage(host, "time-zone");
    Click(zones->zoneBox());
    CZoneListBox* zoneList = zones->zoneList();
    QTRY_VERIFY(zoneList->isVisible());
    int row = zoneList->curSel() + 2;
    if (!zoneList->rect().contains(zoneList->rowRect(row))) row = zoneList->curSel() - 2;
    QVERIFY(row >= 0 && zoneList->rect().contains(zoneList->rowRect(row)));
    ShootPage(host, "time-zone-list");
    Click(zoneList, zoneList->rowRect(row).center());
    chosenZone_ = row + 1;
    QCOMPARE(zones->chosenZone(), chosenZone_);
    QCOMPARE(zones->zoneBox()->text(), zones->zoneNames().at(row));
    ShootPage(host, "time-zone-chosen");
    Click(zones->nextButton());

    // 9: both disks shown; Next warns first, OK formats both behind the progress veil.
    auto* disks = qobject_cast<CHddFormatDlg*>(PageOf(host, CHddFormatDlg::kPageType, 15000));
    QVERIFY(disks);
    QTRY_COMPARE_WITH_TIMEOUT(disks->pictureState(), 3, 10000);
    ShootPage(host, "disks");
    watch.Expect(CHddFormatDlg::kPageType, "CAlarmDisplayPage", [](QDialog* popup) {
      auto* alert = static_cast<ui::CAlarmDisplayPage*>(popup);
      Click(alert->okButton());
    });
    Click(disks->nextButton());  // returns once the progress veil has closed
    QVERIFY(!disks->job().failed());

    // 10: the camera page; the user closes the wizard there.
    CWizardPage* cameras = PageOf(host, kPageCameraSearch, 30000);
    QVERIFY(cameras);
    ShootPage(host, "cameras");
    QVERIFY(cameras->button(CWizardPage::kCmdClose));
    Click(cameras->button(CWizardPage::kCmdClose));
  }

 private slots:
  void welcomeToCameraPageAgainstTheRecorder() {
    SimProcess sim("default.json");
    QVERIFY2(sim.ready(), sim.error().c_str());

    CBriskoDlg frame;  // starts the host itself 50 ms after its loop runs
    std::unique_ptr<PopupWatch> watch;
    QVERIFY(vrx::test::RunWizard(frame, [&](CInterDialog& host) {
      watch = std::make_unique<PopupWatch>(host, album_);
      Walk(host, *watch);
    }));
    if (QTest::currentTestFailed()) return;
    QVERIFY2(watch->unexpected().isEmpty(), qPrintable(watch->unexpected().join("; ")));
    QVERIFY2(watch->seen().contains("p9-CAlarmDisplayPage"), qPrintable(watch->seen().join("; ")));
    QVERIFY2(watch->seen().contains("p9-formatting-hd1") && watch->seen().contains("p9-formatting-hd2"),
             qPrintable(watch->seen().join("; ")));

    // What the recorder holds now.
    const nlohmann::json recorder = sim.state()["recorder"];
    QCOMPARE(QString::fromStdString(recorder["admin_password"].get<std::string>()), QString(kNewPassword));
    QCOMPARE(recorder["zone"].get<int>(), chosenZone_);
    QVERIFY(recorder["recording"].get<bool>());
    const auto& bays = recorder["disks"];
    QCOMPARE(int(bays.size()), 2);
    for (const auto& bay : bays) QVERIFY2(bay["formatted"].get<bool>(), bay.dump().c_str());
    QCOMPARE(bays[0]["fs"].get<int>(), 2);  // HD1 had file-system code 4
    QCOMPARE(bays[1]["fs"].get<int>(), 1);

    // And what it was asked: the zone list in Spanish only, then the chosen zone.
    const QStringList asked = RecorderRequests(sim);
    const QString spanishList =
        QString("/config/timezonelist?language=%1 200").arg(i18n::LanguageAt(kSpanish).recorderLanguageId);
    QVERIFY2(asked.contains(spanishList), qPrintable(asked.join("\n")));
    QVERIFY2(asked.filter("/config/timezonelist").size() == 1, qPrintable(asked.join("\n")));
    QVERIFY2(asked.contains(QString("/config/datetime?timezone=%1 200").arg(chosenZone_)), qPrintable(asked.join("\n")));
    QCOMPARE(asked.filter("/config/storageformat?").size(), 2);
    QVERIFY(album_.count() >= 15);
  }
};

// The wizard's own application object (its font and names); the shortcut and icon folders point into a
// temporary home so the run leaves nothing behind.
int main(int argc, char** argv) {
  QTemporaryDir home;
  vrx::test::UseTemporaryHome(home);
  CBriskoApp app(argc, argv);
  RegisterAllPages();
  RecorderRoadTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "RecorderRoadTest.moc"
