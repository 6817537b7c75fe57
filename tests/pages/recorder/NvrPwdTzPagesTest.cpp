// Pages 7 (administrator password) and 8 (time zone) in the host, against the simulated recorder: the mode
// from the host's probe, the password rule as the user types and on Next, what reaches the recorder, the
// probe-failure popup; the zone list in the wizard's language, the current zone, a refused zone and a retry.
// Screenshots of both pages go to $VRX_BUILD_DIR/screenshots/.
#include <QtTest>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "AccessibleTree.h"
#include "SimProcess.h"
#include "app/InterDialog.h"
#include "app/PageRegistry.h"
#include "i18n/LangString.h"
#include "net/DeviceCommandWorker.h"
#include "net/DeviceSearch.h"
#include "net/DiscoveryProtocol.h"
#include "StandInPages.h"
#include "pages/recorder/NvrPwdDlg.h"
#include "pages/recorder/NvrPwdRules.h"
#include "pages/recorder/NvrTimeZoneControls.h"
#include "pages/recorder/NvrTimeZoneDlg.h"
#include "ui/Alerts.h"
#include "ui/Buttons.h"
#include "ui/EditCtrl.h"
#include "ui/Labels.h"
#include "ui/Palette.h"
#include "PopupWatch.h"
#include "TextFit.h"
#include "VeiledShot.h"
#include "WizardTestSupport.h"

using namespace vrx;
using vrx::test::SimProcess;

namespace {

bool SearchUntilFinished(net::DeviceSearch& search) {
  if (search.Start() != net::DeviceSearch::kSearching) return false;
  for (int i = 0; i < 100 && search.State() != net::DeviceSearch::kFinished; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return search.State() == net::DeviceSearch::kFinished;
}

// One simulated world and what the host would hold for it: the search that found the recorder and the
// command worker.
struct World {
  std::unique_ptr<SimProcess> sim;
  net::DeviceSearch search;
  net::DeviceCommandWorker worker;
  QString ip, mac;

  bool Start(std::unique_ptr<SimProcess> s, const QString& recorderIp) {
    sim = std::move(s);
    if (!sim->ready() || !SearchUntilFinished(search)) return false;
    for (int i = 0; i < search.ResultCount(); ++i)
      if (QString::fromStdString(search.Ipv4Text(i)) == recorderIp) {
        ip = recorderIp;
        mac = QString::fromStdString(search.MacText(i));
        return true;
      }
    return false;
  }

  // The web port in the recorder's discovery record (0: the default).
  int HttpPort() const {
    const int entry = search.FindByMac(mac.toStdString());
    return entry >= 0 ? search.HttpPort(entry) : 0;
  }

  // Account datagrams (not the search) the recorder received since log entry `from`.
  QStringList AccountRequests(size_t from = 0) const {
    QStringList out;
    for (const auto& e : sim->log(from))
      if (e.value("kind", "") == "udp" && e.value("request", "") != "0x00a1")
        out << QString::fromStdString(e.value("request", "") + " " + e.value("outcome", ""));
    return out;
  }
  // HTTP requests the recorder answered (a Digest challenge's 401 is left out), as "path outcome".
  QStringList HttpRequests(size_t from = 0) const {
    QStringList out;
    for (const auto& e : sim->log(from)) {
      const std::string outcome = e.value("outcome", "");
      if (e.value("kind", "") == "http" && outcome.rfind("401", 0) != 0)
        out << QString::fromStdString(e.value("request", "")).remove(QRegularExpression("^GET ")) + " " +
                   QString::fromStdString(outcome.substr(0, 3));
    }
    return out;
  }
  size_t LogSize() const { return sim->log().size(); }
};

constexpr ProbeVerdict kNewRecorder{false, false}, kHasPassword{true, false};

const QRegularExpression kZoneRequests("^/config/(datetime\\?|manrecord)");

void SetLanguage(int index) {
  currentLanguage = index;
  LoadLanguageFile(index);
}

using vrx::test::GoTo;

using vrx::test::VisiblePopup;
using vrx::test::WhenShown;

QString ShotPath(const QString& name) {
  return vrx::test::ScreenshotDir() + "/" + name;
}

void TypeInto(ui::CMyEditCtrl2* edit, const QString& text) {
  edit->setFocus(Qt::TabFocusReason);
  edit->clear();
  QTest::keyClicks(edit, text);
}

void ClickNext(CWizardPage* page) { page->nextButton()->click(); }

}  // namespace

class NvrPwdTzPagesTest : public QObject {
  Q_OBJECT

  World fresh_;  // a new recorder (blank admin password)
  ProbeOutcome probe_;  // what the host's probe would have found
  std::unique_ptr<CInterDialog> host_;

  // The host on page 7 for `world`, its probe having given `verdict` (nothing: still running).
  CNvrPwdDlg* OpenPasswordPage(World& world, std::optional<ProbeVerdict> verdict) {
    probe_.Begin();
    if (verdict) probe_.Finish(*verdict);
    RegisterPage(CNvrPwdDlg::kPageType, [this, &world](CInterDialog& h) {
      return new CNvrPwdDlg(h, world.search, world.worker, probe_);
    });
    host_ = std::make_unique<CInterDialog>();
    host_->SetRecorderIp(world.ip);
    host_->SetRecorderMac(world.mac);
    host_->show();
    QApplication::setActiveWindow(host_.get());
    GoTo(*host_, kPageNvrPassword);
    return qobject_cast<CNvrPwdDlg*>(host_->currentPage());
  }

  CNvrTimeZoneDlg* OpenTimeZonePage(World& world, const QString& password) {
    RegisterPage(CNvrTimeZoneDlg::kPageType, [](CInterDialog& h) { return new CNvrTimeZoneDlg(h); });
    host_ = std::make_unique<CInterDialog>();
    // What the search page stores: the chosen row's address, MAC and web port.
    host_->SetRecorderHttpPort(world.HttpPort());
    host_->SetRecorderIp(world.ip.isEmpty() ? "127.0.99.1" : world.ip);
    host_->SetRecorderMac(world.mac);
    host_->SetAdminUser("admin");
    host_->SetAdminPassword(net::Secret(password.toStdString()));
    host_->show();
    GoTo(*host_, kPageNvrTimeZone);
    return qobject_cast<CNvrTimeZoneDlg*>(host_->currentPage());
  }

 private slots:
  void initTestCase() {
    ClearPageRegistry();
    RegisterStandInPages();
    QVERIFY2(fresh_.Start(std::make_unique<SimProcess>("default.json"), "127.0.10.1"),
             "the default recorder was not found");
  }
  void cleanup() {
    host_.reset();
    SetLanguage(0);
    fresh_.sim->setRecorder("admin_password=&datagram_silent=0");
  }

  // --- page 7

  void newRecorderRefusesBadPasswordsAndSendsNothing_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<QString>("message");
    const QString rule = PasswordRuleMessage(), mismatch = PasswordMismatchMessage();
    // One row per message the page shows: which passwords break the rule is the rule's table
    // (tests/steps/RecorderRulesTest.cpp).
    QTest::newRow("rule broken") << "abc 1234" << "abc 1234" << rule;
    QTest::newRow("confirmation differs in case") << "Secret12" << "secret12" << mismatch;
  }
  void newRecorderRefusesBadPasswordsAndSendsNothing() {
    QFETCH(QString, password);
    QFETCH(QString, confirmation);
    QFETCH(QString, message);
    CNvrPwdDlg* page = OpenPasswordPage(fresh_, kNewRecorder);
    QVERIFY(page);
    QTRY_VERIFY(page->modeKnown());
    QCOMPARE(page->mode(), int(CNvrPwdDlg::kCreate));
    QVERIFY(page->confirmEdit()->isVisibleTo(page));
    QCOMPARE(host_->GetAdminUser(), QString("admin"));

    const size_t logFrom = fresh_.LogSize();
    page->passwordEdit()->setText(password);
    page->confirmEdit()->setText(confirmation);
    ClickNext(page);
    QCOMPARE(page->errorText(), message);
    QVERIFY(page->errorLabel()->isVisibleTo(page));
    QCOMPARE(page->errorField(), int(CNvrPwdDlg::kPasswordField));
    QVERIFY(page->errorMark(CNvrPwdDlg::kPasswordField)->isVisibleTo(page));
    QCOMPARE(host_->pageType(), int(kPageNvrPassword));
    QTest::qWait(100);
    QCOMPARE(fresh_.AccountRequests(logFrom), QStringList());
  }

  // What a screen reader meets: fields named after their captions with the rule as description; a mismatch
  // on Next raised as an alert, put on the field as its description, and the focus taken back there; the
  // typed passwords in no accessibility event.
  void mismatchIsAnAlertOnTheFieldAndNoEventCarriesThePassword() {
    vrx::test::EventLog events;  // before the page: the page's filter goes in front of it
    CNvrPwdDlg* page = OpenPasswordPage(fresh_, kNewRecorder);
    QTRY_VERIFY(page->modeKnown());
    QAccessibleInterface* password = QAccessible::queryAccessibleInterface(page->passwordEdit());
    QAccessibleInterface* confirm = QAccessible::queryAccessibleInterface(page->confirmEdit());
    QCOMPARE(password->text(QAccessible::Name), GetLangString("Password", "Password"));
    QCOMPARE(confirm->text(QAccessible::Name), GetLangString("Confirm Password", "Confirm Password"));
    const QString hint = password->text(QAccessible::Description);
    QCOMPARE(hint, GetLangString("nvrpwd_09", "6-31 characters, case-sensitive, no spaces"));  // the rule's key
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(page->passwordEdit()));

    TypeInto(page->passwordEdit(), "Tulip4242");
    TypeInto(page->confirmEdit(), "Tulip4243");
    events.clear();
    ClickNext(page);
    const QString mismatch = PasswordMismatchMessage();
    QCOMPARE(host_->pageType(), 7);
    QAccessibleInterface* alert = QAccessible::queryAccessibleInterface(page->errorLabel());
    QCOMPARE(alert->role(), QAccessible::AlertMessage);
    QCOMPARE(alert->text(QAccessible::Name), mismatch);
    QVERIFY(events.any(QAccessible::Alert, page->errorLabel()));
    QCOMPARE(password->text(QAccessible::Description), mismatch);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(page->passwordEdit()));

    // Next once more raises it once more; typing takes it off the field again.
    events.clear();
    ClickNext(page);
    QVERIFY(events.any(QAccessible::Alert, page->errorLabel()));
    TypeInto(page->confirmEdit(), "Tulip4242");
    TypeInto(page->passwordEdit(), "Tulip4242");
    QCOMPARE(password->text(QAccessible::Description), hint);
    for (const QString& text : events.allTexts()) QVERIFY2(!text.contains("Tulip"), qPrintable(text));
  }

  // Typing checks the rule at once; leaving the fields compares them; typing again takes the marks back.
  void createModeChecksAsTheUserTypes() {
    CNvrPwdDlg* page = OpenPasswordPage(fresh_, kNewRecorder);
    QTRY_VERIFY(page->modeKnown());
    TypeInto(page->passwordEdit(), "abc");
    QCOMPARE(page->errorText(), PasswordRuleMessage());
    QCOMPARE(page->errorField(), int(CNvrPwdDlg::kPasswordField));
    QTest::keyClicks(page->passwordEdit(), "def");
    QCOMPARE(page->errorText(), QString());
    QVERIFY(!page->errorLabel()->isVisibleTo(page));
    QVERIFY(!page->errorMark(CNvrPwdDlg::kPasswordField)->isVisibleTo(page));

    TypeInto(page->confirmEdit(), "abcdeX");
    page->passwordEdit()->setFocus(Qt::TabFocusReason);  // leaves the confirmation
    QCOMPARE(page->errorText(), PasswordMismatchMessage());
    QCOMPARE(page->errorField(), int(CNvrPwdDlg::kConfirmField));
    QVERIFY(page->errorMark(CNvrPwdDlg::kConfirmField)->isVisibleTo(page));

    QImage shot = page->grab().toImage();
    QVERIFY(shot.save(ShotPath("page7-create-mismatch.png")));

    TypeInto(page->confirmEdit(), "abcdef");
    QCOMPARE(page->errorText(), QString());
    QVERIFY(!page->errorMark(CNvrPwdDlg::kConfirmField)->isVisibleTo(page));
    page->passwordEdit()->setFocus(Qt::TabFocusReason);
    QCOMPARE(page->errorText(), QString());
  }

  void validPasswordReachesTheRecorder() {
    CNvrPwdDlg* page = OpenPasswordPage(fresh_, kNewRecorder);
    QTRY_VERIFY(page->modeKnown());
    const size_t logFrom = fresh_.LogSize();
    page->passwordEdit()->setText("NewPass9");
    page->confirmEdit()->setText("NewPass9");
    ClickNext(page);
    QTRY_COMPARE(host_->pageType(), int(kPageNvrTimeZone));
    QVERIFY(host_->AdminPassword().View() == "NewPass9");
    QCOMPARE(fresh_.sim->state()["recorder"]["admin_password"].get<std::string>(), "NewPass9");
    QCOMPARE(fresh_.AccountRequests(logFrom).size(), 1);
    QVERIFY(fresh_.AccountRequests(logFrom).front().startsWith("0x00a4"));
  }

  // A recorder with a password of its own: one field; a wrong and an empty password are refused with the
  // incorrect-password message and the user can retype; the right one moves on.
  void initialisedRecorderAsksForItsPassword() {
    fresh_.sim->setRecorder("admin_password=Admin123");
    CNvrPwdDlg* page = OpenPasswordPage(fresh_, kHasPassword);
    QTRY_VERIFY(page->modeKnown());
    QCOMPARE(page->mode(), int(CNvrPwdDlg::kEnter));
    QVERIFY(!page->confirmEdit()->isVisibleTo(page));
    QCOMPARE(page->description()->text(), QString("Please enter the password for your device."));

    const size_t logFrom = fresh_.LogSize();
    for (const QString& wrong : {QString("admin123"), QString()}) {
      page->passwordEdit()->setText(wrong);
      ClickNext(page);
      QCOMPARE(host_->pageType(), int(kPageNvrPassword));
      QCOMPARE(page->errorText(), IncorrectPasswordMessage());
      QCOMPARE(page->errorField(), int(CNvrPwdDlg::kPasswordField));
    }
    QImage shot = page->grab().toImage();
    QVERIFY(shot.save(ShotPath("page7-enter-incorrect.png")));

    TypeInto(page->passwordEdit(), "Admin12");  // typing takes the error back
    QCOMPARE(page->errorText(), QString());
    QCOMPARE(page->errorField(), int(CNvrPwdDlg::kNoField));
    QTest::keyClicks(page->passwordEdit(), "3");
    ClickNext(page);
    QTRY_COMPARE(host_->pageType(), int(kPageNvrTimeZone));
    QVERIFY(host_->AdminPassword().View() == "Admin123");
    const QStringList sent = fresh_.AccountRequests(logFrom);
    QCOMPARE(sent.size(), 3);
    for (const QString& s : sent) QVERIFY2(s.startsWith("0x00a3"), qPrintable(s));
  }

  // The host's probe got no answer: create mode under the "Check Network Failed!" popup; a password the
  // silent recorder never confirms gives the change-failed message.
  void silentRecorderGivesCreateModeAndTheNetworkPopup() {
    fresh_.sim->setRecorder("datagram_silent=1");
    QString popupText;
    WhenShown<ui::CErrorPage>([&](ui::CErrorPage* popup) {
      popupText = popup->message();
      QVERIFY(vrx::test::Veiled(host_->currentPage(), ui::CTransparentPage::kOpacity, popup)
                  .save(ShotPath("page7-probe-failed.png")));
      popup->closeButton()->click();
    });
    CNvrPwdDlg* page = OpenPasswordPage(fresh_, std::nullopt);  // the probe is still running
    QTimer::singleShot(300, [&] {
      // What the host does when its probe finds the recorder unreachable.
      probe_.Finish({false, true});
      PostMessage(page->handle(), WM_WIZ_PROBEFAIL);
    });
    QTRY_VERIFY(page->modeKnown());
    QCOMPARE(page->mode(), int(CNvrPwdDlg::kCreate));
    QTRY_COMPARE(popupText, QString("Check Network Failed!"));

    page->passwordEdit()->setText("Secret12");
    page->confirmEdit()->setText("Secret12");
    ClickNext(page);
    QCOMPARE(host_->pageType(), int(kPageNvrPassword));
    QCOMPARE(page->errorText(), PasswordChangeFailedMessage());
    QCOMPARE(fresh_.sim->state()["recorder"]["admin_password"].get<std::string>(), "");
  }

  void probeStillRunningAfterFiveSecondsGivesEnterMode() {
    CNvrPwdDlg* page = OpenPasswordPage(fresh_, std::nullopt);
    QTRY_VERIFY_WITH_TIMEOUT(page->modeKnown(), 9000);
    QCOMPARE(page->mode(), int(CNvrPwdDlg::kEnter));
  }

  // The road through the real host: the search page's Next starts the host's probe, the password page takes
  // its mode from it; going Back from the time zone page probes again, and the password page waits for the
  // new answer instead of the finished one.
  void hostProbeDecidesTheModeOnEveryVisit() {
    RegisterPage(CNvrPwdDlg::kPageType, [](CInterDialog& h) {
      return new CNvrPwdDlg(h, h.discovery(), h.worker(), h.probeOutcome());
    });
    RegisterPage(CNvrTimeZoneDlg::kPageType, [](CInterDialog& h) { return new CNvrTimeZoneDlg(h); });
    host_ = std::make_unique<CInterDialog>();
    net::DeviceSearch& search = host_->discovery();
    QCOMPARE(search.Start(), int(net::DeviceSearch::kSearching));
    QTRY_VERIFY_WITH_TIMEOUT(search.State() == net::DeviceSearch::kFinished, 10000);
    host_->SetRecorderIp(fresh_.ip);
    host_->SetRecorderMac(fresh_.mac);
    host_->SetAdminUser("admin");
    host_->show();
    GoTo(*host_, kPageNvrSearch);
    PostMessage(host_->handle(), WM_WIZ_PROBE);  // what the search page's Next posts
    PostMessage(host_->handle(), WM_WIZ_NAVIGATE, NAV_NEXT);
    QTRY_COMPARE(host_->pageType(), int(kPageNvrPassword));
    auto* page = qobject_cast<CNvrPwdDlg*>(host_->currentPage());
    QTRY_VERIFY_WITH_TIMEOUT(page->modeKnown(), 8000);
    QCOMPARE(page->mode(), int(CNvrPwdDlg::kCreate));
    page->passwordEdit()->setText("Fresh123");
    page->confirmEdit()->setText("Fresh123");
    ClickNext(page);
    QTRY_COMPARE(host_->pageType(), int(kPageNvrTimeZone));

    // The recorder now has a password: Back on the time zone page gives enter mode.
    auto* zones = qobject_cast<CNvrTimeZoneDlg*>(host_->currentPage());
    QTRY_VERIFY_WITH_TIMEOUT(zones->zoneCount() > 0, 8000);  // read with the new password
    zones->backButton()->click();
    QTRY_COMPARE(host_->pageType(), int(kPageNvrPassword));
    page = qobject_cast<CNvrPwdDlg*>(host_->currentPage());
    QTRY_VERIFY_WITH_TIMEOUT(page->modeKnown(), 8000);
    QCOMPARE(page->mode(), int(CNvrPwdDlg::kEnter));
    page->passwordEdit()->setText("Fresh123");
    ClickNext(page);
    QTRY_COMPARE(host_->pageType(), int(kPageNvrTimeZone));

    // Next on the time zone page starts the host's disk poller.
    zones = qobject_cast<CNvrTimeZoneDlg*>(host_->currentPage());
    QTRY_VERIFY_WITH_TIMEOUT(zones->zoneCount() > 0, 8000);
    const size_t logFrom = fresh_.LogSize();
    ClickNext(zones);
    QTRY_COMPARE(host_->pageType(), int(kPageHddFormat));
    QTRY_VERIFY_WITH_TIMEOUT(!fresh_.HttpRequests(logFrom).filter("/config/storageinfo?storageid=0").isEmpty(),
                             5000);

    // A recorder that stops answering: create mode under the network popup.
    fresh_.sim->setRecorder("datagram_silent=1");
    QString popupText;
    WhenShown<ui::CErrorPage>([&](ui::CErrorPage* popup) {
      popupText = popup->message();
      popup->closeButton()->click();
    });
    PostMessage(host_->handle(), WM_WIZ_NAVIGATE, NAV_BACK);
    QTRY_COMPARE(host_->pageType(), int(kPageNvrTimeZone));
    zones = qobject_cast<CNvrTimeZoneDlg*>(host_->currentPage());
    QTRY_VERIFY_WITH_TIMEOUT(zones->zoneCount() > 0, 8000);
    zones->backButton()->click();
    QTRY_COMPARE(host_->pageType(), int(kPageNvrPassword));
    page = qobject_cast<CNvrPwdDlg*>(host_->currentPage());
    QTRY_VERIFY_WITH_TIMEOUT(page->modeKnown(), 10000);
    QCOMPARE(page->mode(), int(CNvrPwdDlg::kCreate));
    QTRY_COMPARE_WITH_TIMEOUT(popupText, QString("Check Network Failed!"), 5000);
  }

  // Every single-line text of both pages fits its label in every language (a cut one ends in "...").
  void textsFitInEveryLanguage_data() {
    QTest::addColumn<int>("language");
    for (int i = 0; i < 6; ++i) QTest::newRow(i18n::LanguageAt(i).name) << i;
  }
  void textsFitInEveryLanguage() {
    QFETCH(int, language);
    SetLanguage(language);
    auto check = [](QWidget* page) {
      const QStringList cut = vrx::test::TextsThatDoNotFit(page);
      QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
    };
    CNvrPwdDlg* page = OpenPasswordPage(fresh_, kNewRecorder);
    QTRY_VERIFY(page->modeKnown());
    check(page);
    if (language == 2) QVERIFY(page->grab().save(ShotPath("page7-ru-create.png")));
    CNvrTimeZoneDlg* zones = OpenTimeZonePage(fresh_, "");
    QTRY_VERIFY(zones->zoneCount() > 0);
    check(zones);
  }

  // --- page 8

  void zoneListComesInTheWizardsLanguage_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("request");
    QTest::newRow("English") << 0 << "/config/timezonelist?language=4 200";
    QTest::newRow("Russian") << 2 << "/config/timezonelist?language=19 200";
  }
  void zoneListComesInTheWizardsLanguage() {
    QFETCH(int, language);
    QFETCH(QString, request);
    SetLanguage(language);
    const size_t logFrom = fresh_.LogSize();
    CNvrTimeZoneDlg* page = OpenTimeZonePage(fresh_, "");
    QTRY_VERIFY(page->zoneCount() > 0);
    const QStringList asked = fresh_.HttpRequests(logFrom);
    QVERIFY2(asked.contains(request), qPrintable(asked.join(", ")));
    // The recorder's current zone (14) is preselected.
    QCOMPARE(page->chosenZone(), 14);
    QCOMPARE(page->zoneBox()->text(), page->zoneNames().at(13));
    QCOMPARE(page->zoneList()->curSel(), 13);
    QCOMPARE(page->zoneList()->count(), page->zoneCount());
    if (language == 2) {
      QVERIFY2(page->zoneBox()->text().contains(QRegularExpression("[\u0400-\u04FF]")),
               qPrintable(page->zoneBox()->text()));
      QTest::mouseClick(page->zoneBox(), Qt::LeftButton);
      QVERIFY(page->zoneList()->isVisibleTo(page));
      QVERIFY(page->grab().save(ShotPath("page8-ru-list-open.png")));
    } else {
      QVERIFY(page->grab().save(ShotPath("page8-en.png")));
    }
  }

  // A Digest recorder on port 8080 (found by its MAC) refuses zone 3: the page stays with "400 Bad Request";
  // another zone then goes through and the wizard moves on.
  void refusedZoneKeepsThePageAndARetryMovesOn() {
    World faults;
    QVERIFY(faults.Start(std::make_unique<SimProcess>("faults.json"), "127.0.11.1"));
    CNvrTimeZoneDlg* page = OpenTimeZonePage(faults, "secret12");
    QTRY_VERIFY(page->zoneCount() > 4);
    QCOMPARE(page->chosenZone(), 2);

    QTest::mouseClick(page->zoneBox(), Qt::LeftButton);
    CZoneListBox* list = page->zoneList();
    QTest::mouseClick(list, Qt::LeftButton, {}, list->rowRect(2).center());
    QCOMPARE(page->chosenZone(), 3);
    QCOMPARE(page->zoneBox()->text(), page->zoneNames().at(2));
    size_t logFrom = faults.LogSize();
    ClickNext(page);
    QCOMPARE(host_->pageType(), int(kPageNvrTimeZone));
    QVERIFY(page->errorShown());
    QCOMPARE(page->errorText(), QString("400 Bad Request"));
    QVERIFY(page->grab().save(ShotPath("page8-refused.png")));
    QCOMPARE(faults.HttpRequests(logFrom).filter(kZoneRequests),
             QStringList({"/config/datetime?timezone=3 400", "/config/manrecord?record=1 200"}));

    page->ChooseRow(4);
    QVERIFY(!page->errorShown() || page->errorText() == "400 Bad Request");
    logFrom = faults.LogSize();
    ClickNext(page);
    QTRY_COMPARE(host_->pageType(), int(kPageHddFormat));
    QCOMPARE(faults.HttpRequests(logFrom).filter(kZoneRequests),
             QStringList({"/config/datetime?timezone=5 200", "/config/manrecord?record=1 200"}));
    const auto recorder = faults.sim->state()["recorder"];
    QCOMPARE(recorder["zone"].get<int>(), 5);
    QCOMPARE(recorder["recording"].get<bool>(), true);
  }

  // The recorder turns the zone request away (it no longer takes the password): the network popup, the
  // wizard stays, and manual recording is not started.
  void failedZoneRequestStartsNoRecording() {
    CNvrTimeZoneDlg* page = OpenTimeZonePage(fresh_, "");
    QTRY_VERIFY(page->zoneCount() > 0);
    QVERIFY(fresh_.sim->setRecorder("admin_password=Other123"));
    QString popupText;
    WhenShown<ui::CErrorPage>([&](ui::CErrorPage* popup) {
      popupText = popup->message();
      popup->closeButton()->click();
    });
    const size_t logFrom = fresh_.LogSize();
    ClickNext(page);
    QCOMPARE(popupText, QString("Check Network Failed!"));
    QCOMPARE(host_->pageType(), int(kPageNvrTimeZone));
    QStringList asked;
    for (const auto& e : fresh_.sim->log(logFrom))
      if (e.value("kind", "") == "http") asked << QString::fromStdString(e.value("request", ""));
    QVERIFY2(!asked.filter("/config/datetime?timezone=").isEmpty(), qPrintable(asked.join(", ")));
    QVERIFY2(asked.filter("/config/manrecord").isEmpty(), qPrintable(asked.join(", ")));
  }

  // Nothing answers: the network popup, and Next is disabled.
  void unreachableRecorderDisablesNext() {
    World none;  // no search, no simulator: the recorder's address has nobody behind it
    bool popupShown = false;
    WhenShown<ui::CErrorPage>([&](ui::CErrorPage* popup) {
      popupShown = popup->message() == "Check Network Failed!";
      popup->closeButton()->click();
    });
    CNvrTimeZoneDlg* page = OpenTimeZonePage(none, "");
    QTRY_VERIFY_WITH_TIMEOUT(popupShown, 10000);
    QTRY_VERIFY(!page->nextButton()->isEnabled());
    QCOMPARE(page->chosenZone(), -1);
    ClickNext(page);
    QCOMPARE(host_->pageType(), int(kPageNvrTimeZone));
  }
};

QTEST_MAIN(NvrPwdTzPagesTest)
#include "NvrPwdTzPagesTest.moc"
