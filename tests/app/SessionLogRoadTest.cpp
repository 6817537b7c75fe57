// The session log of a real road against the simulated recorder: the welcome page to the time zone page with a
// popup on the way and a new administrator password typed twice (once with the eye mark showing it). The log
// must tell every step (pages, popup, search, account datagrams, requests with status) and hold none of the
// secrets typed or sent: not the password, not its Base64 forms, no Authorization or Cookie header, no query
// value. The password page with its text shown is saved to $VRX_BUILD_DIR/screenshots/session_log_password.png.
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "PopupWatch.h"
#include "SimProcess.h"
#include "WizardTestSupport.h"
#include "app/BriskoApp.h"
#include "app/BriskoDlg.h"
#include "app/InterDialog.h"
#include "net/Base64.h"
#include "pages/AllPages.h"
#include "pages/recorder/NvrListCtrl.h"
#include "pages/recorder/NvrPwdDlg.h"
#include "pages/recorder/NvrSearchDlg.h"
#include "pages/recorder/NvrTimeZoneDlg.h"
#include "platform/SessionLog.h"
#include "ui/Buttons.h"
#include "ui/EditCtrl.h"
#include "ui/Overlay.h"

using namespace vrx;
using vrx::test::SimProcess;

namespace {

constexpr const char* kRecorderIp = "127.0.10.1";
constexpr const char* kNewPassword = "Vigil2024";

void Click(QWidget* w, QPoint at = {}) { QTest::mouseClick(w, Qt::LeftButton, {}, at.isNull() ? w->rect().center() : at); }

// Closes every popup that shows inside a veil, as a user would with its close control.
class PopupCloser : public QObject {
 public:
  PopupCloser() {
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, [this] {
      if (auto* veil = vrx::test::VisiblePopup<ui::CTransparentPage>(); veil && veil->popup() && veil->popup()->isVisible()) {
        ++closed_;
        veil->popup()->reject();
      }
    });
    timer_.start();
  }
  int closed() const { return closed_; }

 private:
  QTimer timer_;
  int closed_ = 0;
};

std::string Contents(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Base64(const std::string& text) { return net::Base64Encode(text); }

}  // namespace

class SessionLogRoadTest : public QObject {
  Q_OBJECT

  // The road; returns early, with the failure recorded, when a step fails.
  void Walk(CInterDialog& host) {
    vrx::test::GoTo(host, 5);
    PopupCloser closer;
    ui::OpenOverlay(host.currentPage(), ui::kOverlayLed);  // the LED help, closed again
    QCOMPARE(closer.closed(), 1);

    vrx::test::GoTo(host, CNvrSearchDlg::kPageType);
    auto* search = qobject_cast<CNvrSearchDlg*>(host.currentPage());
    QVERIFY(search);
    CNvrListCtrl* list = search->list();
    QTRY_VERIFY_WITH_TIMEOUT(list->rowCount() > 0 && !search->searching(), 15000);
    Click(list, list->RadioRect(0).center());
    Click(search->nextButton());

    QTRY_COMPARE_WITH_TIMEOUT(host.pageType(), int(CNvrPwdDlg::kPageType), 5000);
    auto* password = qobject_cast<CNvrPwdDlg*>(host.currentPage());
    QVERIFY(password);
    QTRY_VERIFY_WITH_TIMEOUT(password->modeKnown(), 8000);
    QCOMPARE(password->mode(), int(CNvrPwdDlg::kCreate));
    ui::CMyEditCtrl2* first = password->passwordEdit();
    QApplication::setActiveWindow(&host);  // back from the popup's window
    Click(first);
    QTRY_VERIFY(first->hasFocus());
    QTest::keyClicks(first, kNewPassword);
    QVERIFY(!first->passwordShown());  // off by default
    QCOMPARE(first->displayedText(), QString(QString(kNewPassword).size(), ui::kPasswordMark));
    // The eye mark is the next stop of Tab, and Space shows the text.
    QTest::keyClick(first, Qt::Key_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(first->revealButton()));
    QCOMPARE(first->revealButton()->accessibleName(), QString("Show password"));
    QTest::keyClick(first->revealButton(), Qt::Key_Space);
    QCOMPARE(first->displayedText(), QString(kNewPassword));
    // One name in both states; the checked state says that the text shows.
    QCOMPARE(first->revealButton()->accessibleName(), QString("Show password"));
    QVERIFY(first->revealButton()->isChecked());
    QVERIFY(host.grab().save(vrx::test::ScreenshotDir() + "/session_log_password.png"));
    Click(password->confirmEdit());
    QTest::keyClicks(password->confirmEdit(), kNewPassword);
    Click(password->nextButton());

    QTRY_COMPARE_WITH_TIMEOUT(host.pageType(), int(CNvrTimeZoneDlg::kPageType), 15000);
    auto* zones = qobject_cast<CNvrTimeZoneDlg*>(host.currentPage());
    QVERIFY(zones);
    QTRY_VERIFY_WITH_TIMEOUT(zones->zoneCount() > 0, 10000);
  }

 private slots:
  void logTellsTheRoadAndKeepsTheSecrets() {
    SimProcess sim("default.json");
    QVERIFY2(sim.ready(), sim.error().c_str());
    SessionLog log;
    QVERIFY(log.Open(SessionLog::DefaultFolder()));
    SetSessionLog(&log);
    {
      CBriskoDlg frame(false);
      frame.show();
      CInterDialog& host = *frame.host();
      host.show();
      QApplication::setActiveWindow(&host);
      Walk(host);
    }  // the frame, host and their jobs end here
    SetSessionLog(nullptr);
    if (QTest::currentTestFailed()) return;

    const std::string text = Contents(SessionLog::DefaultFolder() / SessionLog::kFileName);
    for (const char* step : {
             "entered vrx::CHomeDlg (page 1)", "popup   shown: ", "popup   closed: ",
             "left vrx::CNvrSearchDlg", "entered vrx::CNvrPwdDlg (page 7)", "entered vrx::CNvrTimeZoneDlg (page 8)",
             "discover to 255.255.255.255 from 127.0.0.1: sent", "discover to 255.255.255.255: window ended",
             "check-account to 127.0.10.1", "change-password to 127.0.10.1 from 127.0.0.1: sent",
             "change-password reply to 127.0.10.1 from 127.0.0.1: answered",
             "GET http://127.0.10.1/config/timezonelist?language= -> 200 in "})
      QVERIFY2(text.find(step) != std::string::npos, qPrintable(QString("missing \"%1\" in:\n%2").arg(step, text.c_str())));
    const std::string lowered = QString::fromStdString(text).toLower().toStdString();
    for (const std::string& secret :
         {std::string(kNewPassword), Base64(kNewPassword), Base64(std::string("admin:") + kNewPassword),
          std::string("authorization"), std::string("cookie"), std::string("basic "), std::string("language=4")})
      QVERIFY2(text.find(secret) == std::string::npos && lowered.find(secret) == std::string::npos,
               qPrintable(QString("\"%1\" is in the log").arg(secret.c_str())));
    // The recorder did receive the password: what is missing from the log was really sent.
    bool sentWithPassword = false;
    for (const auto& e : sim.log())
      sentWithPassword = sentWithPassword || e.dump().find(Base64(std::string("admin:") + kNewPassword)) != std::string::npos;
    QVERIFY(sentWithPassword);
  }
};

// The log goes to a temporary XDG_STATE_HOME; the wizard's folders to a temporary home.
int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("HOME", home.path().toUtf8());
  qputenv("XDG_STATE_HOME", (home.path() + "/.local/state").toUtf8());
  qputenv("XDG_DATA_HOME", (home.path() + "/.local/share").toUtf8());
  qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
  QStandardPaths::setTestModeEnabled(true);
  CBriskoApp app(argc, argv);
  RegisterAllPages();
  SessionLogRoadTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "SessionLogRoadTest.moc"
