// The whole road, welcome page to FINISH, with the keyboard alone, as a screen-reader user walks it: the real
// frame and host with every registered page, against the simulated recorder, cameras and cloud service of the
// default scenario, driven only by key presses sent to whatever has the focus. On every page it checks what a
// reader meets: the window is named after the page, the focus starts on one of the page's own controls (never
// Close), and every control and popup on the way has a role and a name (the table is printed). Enter and
// Escape change nothing on the wizard's windows; one camera's preview is opened from its row's menu and closed.
#include <QMenu>
#include <QPointer>
#include <QtTest>
#include <functional>

#include "AccessibleTree.h"
#include "PopupWatch.h"
#include "SimProcess.h"
#include "WizardTestSupport.h"
#include "app/BriskoApp.h"
#include "app/BriskoDlg.h"
#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "pages/AllPages.h"
#include "pages/cameras/CameraPopups.h"
#include "pages/cameras/CameraSearchDlg.h"
#include "pages/cameras/CamListCtrl.h"
#include "pages/preview/PreviewPage.h"
#include "pages/cloud/KelvaroServiceDlg.h"
#include "pages/intro/IntroOverlays.h"
#include "pages/intro/IntroPages.h"
#include "pages/recorder/HddFormatDlg.h"
#include "pages/recorder/NvrListCtrl.h"
#include "pages/recorder/NvrPwdDlg.h"
#include "pages/recorder/NvrSearchDlg.h"
#include "pages/recorder/NvrTimeZoneControls.h"
#include "pages/recorder/NvrTimeZoneDlg.h"
#include "pages/summary/SummaryDlg.h"
#include "ui/Alerts.h"
#include "ui/Buttons.h"
#include "ui/ComboBox.h"
#include "ui/EditCtrl.h"
#include "ui/Labels.h"
#include "ui/Links.h"
#include "ui/PageFocus.h"

using namespace vrx;
using vrx::test::SimProcess;

namespace {

constexpr int kSpanish = 3;
constexpr const char* kRecorderIp = "127.0.10.1";  // the VRX-410Q of the default scenario
constexpr const char* kNewPassword = "Quill2025";
constexpr const char* kLobbyIp = "127.0.20.4";  // known to the recorder already: ticked, with a preview
constexpr const char* kFrontDoorIp = "127.0.20.1";
constexpr const char* kFrontDoorPassword = "door4321";
constexpr const char* kAccountEmail = "owner@kelvaro.test";  // the scenario's cloud account
constexpr const char* kAccountPassword = "kelvaro1";

QPointer<QWidget> mainWindow;  // the host, once the wizard runs

// The offscreen platform has no window manager to give the activation back to the wizard when a popup window
// closes; this does what it would.
QWidget* Focused() {
  if (!QApplication::activeWindow() && mainWindow) QApplication::setActiveWindow(mainWindow);
  return QApplication::focusWidget();
}

// One key press to whatever has the focus, as the keyboard sends it.
bool Press(int key) {
  QWidget* target = Focused();
  if (!target) return false;
  QTest::keyClick(target, Qt::Key(key));
  return true;
}

// Tab until target has the focus; false after a whole round without it.
bool TabTo(QWidget* target) {
  for (int i = 0; i < 40 && Focused() != target; ++i)
    if (!Press(Qt::Key_Tab)) return false;
  return Focused() == target;
}

QString Describe(QWidget* w) {
  if (!w) return QStringLiteral("(nothing)");
  return QStringLiteral("%1 \"%2\"").arg(w->metaObject()->className(), w->accessibleName());
}

// Every node a person meets under window has a role and a name; the table goes to the log.
void CheckNamed(QWidget* window, const QString& what) {
  const auto nodes = vrx::test::VisibleNodes(window);
  qInfo("%s:\n%s", qPrintable(what), qPrintable(vrx::test::Table(nodes)));
  const QStringList nameless = vrx::test::NamelessNodes(nodes);
  QVERIFY2(nameless.isEmpty(), qPrintable(what + ": nodes without a name:\n" + nameless.join('\n')));
  // A list number is read with its text, not as a text of its own after it.
  static const QRegularExpression bareNumber(QStringLiteral("^\\d+\\.$"));
  for (const auto& n : nodes) QVERIFY2(!bareNumber.match(n.name).hasMatch(), qPrintable(what + ": " + n.name));
}

}  // namespace

class KeyboardRoadTest : public QObject {
  Q_OBJECT

  int startZone_ = 0;
  QStringList popupsChecked_;
  const vrx::test::EventLog* events_ = nullptr;
  std::size_t eventsBeforeSummary_ = 0;  // the summary shows the passwords on purpose, and reads them out

  static CWizardPage* PageOf(CInterDialog& host, int type, int timeoutMs = 5000) {
    CWizardPage* page = vrx::test::WaitForPage<CWizardPage>(host, type, timeoutMs);
    QTest::qWait(20);  // the focus settles once the old page is gone
    return page;
  }

  // What every page must offer a reader as it appears.
  void ArriveAt(CInterDialog& host, CWizardPage* page, QWidget* expectedFocus, const QString& what) {
    QVERIFY2(page, qPrintable(what));
    const QString title = ui::PageTitle(page);
    QCOMPARE(QAccessible::queryAccessibleInterface(&host)->text(QAccessible::Name),
             title.isEmpty() ? host.windowTitle() : title);
    QTRY_VERIFY2(Focused() == expectedFocus,
                 qPrintable(what + ": focus on " + Describe(Focused()) + ", expected " + Describe(expectedFocus)));
    QVERIFY(Focused() != page->button(CWizardPage::kCmdClose));
    CheckNamed(&host, what);
    // The focus mark as a person sees it: $VRX_BUILD_DIR/screenshots/keyboard_<page>.png.
    host.grab().save(vrx::test::ScreenshotDir() + "/keyboard_" + QString(what).replace(' ', '-') + ".png");
  }

  // Enter and Escape do nothing, wherever the focus is.
  void EnterAndEscapeDoNothing(CInterDialog& host) {
    const int page = host.pageType();
    QWidget* focus = Focused();
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) Press(key);
    QTest::qWait(50);
    QCOMPARE(host.pageType(), page);
    QVERIFY(host.isVisible());
    QCOMPARE(Focused(), focus);
  }

  // Answers a popup from inside its modal loop: its own checks, then Tab to the button and Space.
  template <class Popup>
  void AnswerWith(std::function<ui::CAvrelButton*(Popup*)> button, const QString& what) {
    vrx::test::WhenShown<Popup>([this, button, what](Popup* popup) {
      QTRY_VERIFY2(popup->isAncestorOf(Focused()), qPrintable(what + ": focus on " + Describe(Focused())));
      CheckNamed(popup, what);
      QVERIFY(TabTo(button(popup)));
      // The focus ring on the button as a person sees it: keyboard_popup_<what>.png.
      popup->grab().save(vrx::test::ScreenshotDir() + "/keyboard_popup_" + QString(what).replace(' ', '-') + ".png");
      Press(Qt::Key_Space);
      popupsChecked_ << what;
    });
  }

  void Walk(CInterDialog& host) {
    mainWindow = &host;
    QApplication::setActiveWindow(&host);

    // The shadow frame is no second window for a reader.
    QVERIFY(QAccessible::queryAccessibleInterface(host.parentWidget())->state().invisible);

    // 1: the language box has the focus; the arrows open its list, walk it, Space takes Spanish.
    auto* home = qobject_cast<CHomeDlg*>(host.currentPage());
    ArriveAt(host, home, home->languageList(), "page 1");
    EnterAndEscapeDoNothing(host);
    Press(Qt::Key_Down);
    QCOMPARE(int(currentLanguage), 0);  // the closed box does not switch the language
    ui::CComboBoxList* languages = home->languageList()->dropDown();
    QVERIFY(languages);
    QTRY_COMPARE(Focused(), static_cast<QWidget*>(languages));
    for (int i = 0; i < kSpanish; ++i) Press(Qt::Key_Down);
    CheckNamed(languages, "language list");
    Press(Qt::Key_Space);
    QTRY_COMPARE(int(currentLanguage), kSpanish);
    QTRY_COMPARE(Focused(), static_cast<QWidget*>(home->languageList()));
    QCOMPARE(QAccessible::queryAccessibleInterface(home->languageList())->text(QAccessible::Value),
             QStringLiteral("Español"));
    QVERIFY(TabTo(home->startButton()));
    Press(Qt::Key_Space);

    // 2-4: Next has the focus; 5: the LED help link first, its popup opened and closed with the keys.
    for (int type = 2; type <= 4; ++type) {
      CWizardPage* page = PageOf(host, type);
      ArriveAt(host, page, page ? page->nextButton() : nullptr, QString("page %1").arg(type));
      QCOMPARE(QAccessible::queryAccessibleInterface(page->nextButton())->text(QAccessible::Name),
               QStringLiteral("SIGUIENTE"));
      Press(Qt::Key_Space);
    }
    auto* led = qobject_cast<CIntroduction3Dlg*>(PageOf(host, 5));
    ArriveAt(host, led, led ? led->helpLink() : nullptr, "page 5");
    int links = 0;  // the red mark beside the link is the same link: one is met
    for (const auto& n : vrx::test::VisibleNodes(&host)) links += n.role == QAccessible::Link;
    QCOMPARE(links, 1);
    AnswerWith<CLEDRedPage>([](CLEDRedPage* p) { return p->closeButton(); }, "LED help");
    Press(Qt::Key_Space);  // the link posts its request: the popup opens from the loop
    QTRY_VERIFY(popupsChecked_.contains("LED help"));
    QTRY_VERIFY(!vrx::test::VisiblePopup<CLEDRedPage>());
    QCOMPARE(host.pageType(), 5);
    QVERIFY(TabTo(led->nextButton()));
    Press(Qt::Key_Space);

    // 6: the list has the focus and, once the search is done, the recorder as its first item, marked.
    auto* search = qobject_cast<CNvrSearchDlg*>(PageOf(host, CNvrSearchDlg::kPageType));
    ArriveAt(host, search, search ? search->list() : nullptr, "page 6 searching");
    QTRY_VERIFY_WITH_TIMEOUT(search->list()->rowCount() > 0 && !search->searching(), 15000);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(search->list());
    QAccessibleInterface* item = list->focusChild();
    QVERIFY(item);
    QVERIFY2(item->text(QAccessible::Name).contains(kRecorderIp), qPrintable(item->text(QAccessible::Name)));
    QVERIFY(item->state().checked && item->state().focused);
    CheckNamed(&host, "page 6 with results");
    QVERIFY(TabTo(search->nextButton()));
    Press(Qt::Key_Space);

    // 7: the password field has the focus; typed twice, Tab between them.
    auto* password = qobject_cast<CNvrPwdDlg*>(PageOf(host, CNvrPwdDlg::kPageType));
    QVERIFY(password);
    QTRY_VERIFY_WITH_TIMEOUT(password->modeKnown(), 8000);
    ArriveAt(host, password, password->passwordEdit(), "page 7");
    QTest::keyClicks(Focused(), kNewPassword);
    EnterAndEscapeDoNothing(host);
    QVERIFY(TabTo(password->confirmEdit()));
    QTest::keyClicks(Focused(), kNewPassword);
    QCOMPARE(password->errorField(), int(CNvrPwdDlg::kNoField));
    QVERIFY(TabTo(password->nextButton()));
    Press(Qt::Key_Space);

    // 8: the zone box has the focus; Space opens the list, two steps down, Space picks, the focus comes back.
    auto* zones = qobject_cast<CNvrTimeZoneDlg*>(PageOf(host, CNvrTimeZoneDlg::kPageType, 15000));
    QVERIFY(zones);
    QTRY_VERIFY_WITH_TIMEOUT(zones->zoneCount() > 0, 10000);
    ArriveAt(host, zones, zones->zoneBox(), "page 8");
    startZone_ = zones->chosenZone();
    Press(Qt::Key_Space);
    QTRY_COMPARE(Focused(), static_cast<QWidget*>(zones->zoneList()));
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);
    QVERIFY(zones->zoneList()->isVisible());  // steps do not pick
    QCOMPARE(zones->chosenZone(), startZone_);
    CheckNamed(&host, "page 8 with the list open");
    Press(Qt::Key_Space);
    QCOMPARE(zones->chosenZone(), startZone_ + 2);
    QVERIFY(!zones->zoneList()->isVisible());
    QCOMPARE(Focused(), static_cast<QWidget*>(zones->zoneBox()));
    QCOMPARE(QAccessible::queryAccessibleInterface(zones->zoneBox())->text(QAccessible::Value),
             zones->zoneNames().at(startZone_ + 1));
    QVERIFY(TabTo(zones->nextButton()));
    Press(Qt::Key_Space);

    // 9: Next has the focus; the disks are told in words; the warning is answered with the keys.
    auto* disks = qobject_cast<CHddFormatDlg*>(PageOf(host, CHddFormatDlg::kPageType, 15000));
    QVERIFY(disks);
    QTRY_COMPARE_WITH_TIMEOUT(disks->pictureState(), 3, 10000);
    ArriveAt(host, disks, disks->nextButton(), "page 9");
    QCOMPARE(disks->picture()->accessibleName().count(QChar(0x2713)), 2);
    AnswerWith<ui::CAlarmDisplayPage>([](ui::CAlarmDisplayPage* p) { return p->okButton(); }, "format warning");
    Press(Qt::Key_Space);  // returns once the progress veil has closed
    QVERIFY(popupsChecked_.contains("format warning"));
    QVERIFY(!disks->job().failed());

    // 10: the list has the focus once the scan is done. A known camera's menu (the Menu key) opens its
    // preview, which is closed with the keys; Space on another row asks for its password, sent with Enter.
    auto* cameras = qobject_cast<CCameraSearchDlg*>(PageOf(host, CCameraSearchDlg::kPageType, 30000));
    QVERIFY(cameras);
    CCamListCtrl* camList = cameras->list();
    QTRY_VERIFY_WITH_TIMEOUT(camList->rowCount() > 0 && !cameras->scanning(), 30000);
    ArriveAt(host, cameras, camList, "page 10");
    const QList<QAccessibleInterface*> rows = vrx::test::ListItems(camList);
    const auto rowOf = [&rows](const char* address) {
      for (int i = 0; i < rows.size(); ++i)
        if (rows[i]->text(QAccessible::Name).contains(QLatin1String(address))) return i;
      return -1;
    };
    const int lobby = rowOf(kLobbyIp), frontDoor = rowOf(kFrontDoorIp);
    QVERIFY(lobby >= 0 && frontDoor >= 0);
    const auto goToRow = [camList](int row) {
      for (int i = 0; i < camList->rowCount(); ++i) Press(Qt::Key_Up);
      for (int i = 0; i < row; ++i) Press(Qt::Key_Down);
      QCOMPARE(camList->currentRow(), row);
    };
    goToRow(lobby);
    QVERIFY(camList->passwordKnown(lobby));
    vrx::test::WhenShown<QMenu>([this](QMenu* menu) {
      QAccessibleInterface* item = QAccessible::queryAccessibleInterface(menu)->child(0);
      QVERIFY(item && item->role() == QAccessible::MenuItem);
      QCOMPARE(item->text(QAccessible::Name), GetLangString("camsearch_preview", "Preview"));
      QTest::keyClick(menu, Qt::Key_Return);
      popupsChecked_ << "row menu";
    });
    AnswerWith<CPreviewPage>([](CPreviewPage* p) { return p->closeButton(); }, "preview");
    Press(Qt::Key_Menu);  // the preview opens from the loop once the menu is answered
    QTRY_VERIFY_WITH_TIMEOUT(popupsChecked_.contains("preview"), 15000);
    QTRY_VERIFY(!vrx::test::VisiblePopup<CPreviewPage>());
    QTRY_COMPARE(Focused(), static_cast<QWidget*>(camList));

    goToRow(frontDoor);
    QVERIFY(!camList->isTicked(frontDoor));
    vrx::test::WhenShown<CCameraPwdPage>([this](CCameraPwdPage* popup) {
      QTRY_VERIFY(popup->isAncestorOf(Focused()));
      CheckNamed(popup, "camera password");
      QVERIFY(TabTo(popup->passwordEdit()));
      QTest::keyClicks(Focused(), kFrontDoorPassword);
      Press(Qt::Key_Return);
      popupsChecked_ << "camera password";
    });
    Press(Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(camList->isTicked(frontDoor), 20000);
    QVERIFY(popupsChecked_.contains("camera password"));
    QVERIFY(TabTo(cameras->nextButton()));
    Press(Qt::Key_Space);  // returns once the recorder has added the cameras

    // 11: the choices first, then the form: sign in with the keys, Next waits behind the veil.
    auto* cloud = qobject_cast<CKelvaroServiceDlg*>(PageOf(host, kPageCloudService, 60000));
    QVERIFY(cloud);
    QTRY_VERIFY(cloud->isAncestorOf(Focused()));
    ArriveAt(host, cloud, Focused(), "page 11");
    QCOMPARE(cloud->choice(), int(kelvaro::kSignIn));
    QVERIFY(TabTo(cloud->entry(CKelvaroServiceDlg::kEmail)));
    QTest::keyClicks(Focused(), kAccountEmail);
    QVERIFY(TabTo(cloud->entry(CKelvaroServiceDlg::kPassword)));
    QTest::keyClicks(Focused(), kAccountPassword);
    QVERIFY(TabTo(cloud->nextButton()));
    Press(Qt::Key_Space);  // returns once the recorder is registered

    // 12: the summary's lines are read with the arrows; FINISH ends the wizard.
    auto* summary = qobject_cast<CSummaryDlg*>(PageOf(host, kPageSummary, 120000));
    QVERIFY(summary);
    eventsBeforeSummary_ = events_->entries().size();
    QTRY_VERIFY(summary->isAncestorOf(Focused()));
    ArriveAt(host, summary, Focused(), "page 12");
    QVERIFY(TabTo(summary->table()));
    const int firstLine = summary->table()->currentLine();
    Press(Qt::Key_Down);
    QCOMPARE(summary->table()->currentLine(), firstLine + 1);
    QAccessibleInterface* line = QAccessible::queryAccessibleInterface(summary->table())->focusChild();
    QVERIFY(line && !line->text(QAccessible::Name).isEmpty());
    QVERIFY(TabTo(summary->button(CSummaryDlg::kCmdFinish)));
    Press(Qt::Key_Space);
  }

 private slots:
  void welcomeToFinishWithTheKeyboardAlone() {
    SimProcess sim("default.json");
    QVERIFY2(sim.ready(), sim.error().c_str());
    sim.exportCaFile();  // the cloud service's certificate is the simulator's
    vrx::test::EventLog events;  // makes accessibility active, as a reader on the bus does
    events_ = &events;

    CBriskoDlg frame;
    QVERIFY(vrx::test::RunWizard(frame, [this](CInterDialog& host) { Walk(host); }));
    if (QTest::currentTestFailed()) return;

    // The recorder got what the keys chose.
    const nlohmann::json recorder = sim.state()["recorder"];
    QCOMPARE(QString::fromStdString(recorder["admin_password"].get<std::string>()), QString(kNewPassword));
    QCOMPARE(recorder["zone"].get<int>(), startZone_ + 2);
    QCOMPARE(recorder["cloud"]["registered"].get<bool>(), true);
    bool frontDoorAdded = false;
    for (const auto& c : recorder["cameras"]) frontDoorAdded |= c["address"] == kFrontDoorIp && c["assigned"].get<bool>();
    QVERIFY2(frontDoorAdded, recorder["cameras"].dump().c_str());
    // No typed password went out in an event before the summary, which shows them.
    QVERIFY(eventsBeforeSummary_ > 0);
    for (std::size_t i = 0; i < eventsBeforeSummary_; ++i)
      for (const QString& text : events.entries()[i].texts)
        QVERIFY2(!text.contains("Quill") && !text.contains(kFrontDoorPassword) && !text.contains(kAccountPassword),
                 qPrintable(text));

    // The format was told as it went, disk by disk; pictures that are decoration (the spinner's eight frames,
    // the alert mark) sent nothing.
    QStringList progress;
    for (const auto& e : events.entries()) {
      const bool said = e.type == QAccessible::Alert || e.type == QAccessible::ObjectShow;  // alerted, or spoken
      if (said && !e.texts.isEmpty() && e.texts.first().contains('%')) progress << e.texts.first();
      const bool shownOrHidden = e.type == QAccessible::ObjectShow || e.type == QAccessible::ObjectHide;
      QVERIFY(!shownOrHidden || e.className != "vrx::ui::CImageBox");
    }
    // Each disk's progress is heard, at most every few seconds, so a short format may be heard once per disk.
    QVERIFY2(!progress.filter("HD1").isEmpty() && !progress.filter("HD2").isEmpty(), qPrintable(progress.join('\n')));
    QVERIFY2(progress.size() <= 24, qPrintable(progress.join('\n')));  // a tenth at a time, not every refresh
  }
};

int main(int argc, char** argv) {
  QTemporaryDir home;
  vrx::test::UseTemporaryHome(home);
  CBriskoApp app(argc, argv);
  RegisterAllPages();
  KeyboardRoadTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "KeyboardRoadTest.moc"
