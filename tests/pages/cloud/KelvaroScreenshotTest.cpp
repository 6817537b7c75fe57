// Pictures of the cloud page for a person to look at: the three choices in English, Simplified Chinese, Spanish
// and Traditional Chinese, then (in English and Simplified Chinese) every error state: a malformed address,
// passwords that differ, the service's errors beside the e-mail and the password rows, a bind reply that does
// not name the recorder, the waiting veil and "Check Network Failed!"; and the no-Internet alert in English,
// Simplified Chinese and Russian. Saved as $VRX_BUILD_DIR/screenshots/cloud_*.png.
#include <QtTest>
#include <memory>
#include <tuple>

#include "KelvaroPageFixture.h"
#include "WizardTestSupport.h"
#include "i18n/LangString.h"
#include "ui/Alerts.h"
#include "ui/Overlay.h"
#include "ui/Waiting.h"

using namespace vrx;
using namespace cloudtest;
using vrx::test::SimProcess;
using Page = CKelvaroServiceDlg;

namespace {

void Save(const QImage& shot, const QString& name) {
  QVERIFY(shot.save(vrx::test::ScreenshotDir() + "/cloud_" + name + ".png"));
}

}  // namespace

class KelvaroScreenshotTest : public QObject {
  Q_OBJECT

  CloudPageRig rig_;

  void SignIn(const QString& email, const QString& password) {
    Type(rig_.page, Page::kEmail, email);
    Type(rig_.page, Page::kPassword, password);
    QTest::mouseClick(rig_.page->nextButton(), Qt::LeftButton);
  }

 private slots:
  void cleanup() {
    rig_.Close();
    vrx::test::UseLanguage(0);
  }

  void choicesInThreeLanguages() {
    const std::pair<int, const char*> languages[] = {{0, "en"}, {5, "zh_CN"}, {3, "es"}, {4, "zh_TW"}};
    for (const auto& [language, code] : languages) {
      vrx::test::UseLanguage(language);
      rig_.host = std::make_unique<CInterDialog>();
      rig_.page = ShowCloudPage(*rig_.host);
      QVERIFY(rig_.page);
      Type(rig_.page, Page::kEmail, kOwner);
      Type(rig_.page, Page::kPassword, kOwnerPassword);
      Save(rig_.page->grab().toImage(), QString("sign_in_%1").arg(code));
      SignUpForm(rig_.page, "lin@kelvaro.test", "Secret99", "Secret99");
      Save(rig_.page->grab().toImage(), QString("sign_up_%1").arg(code));
      AcceptTerms(rig_.page);
      Save(rig_.page->grab().toImage(), QString("sign_up_terms_accepted_%1").arg(code));
      Choose(rig_.page, kelvaro::kSkip);
      Save(rig_.page->grab().toImage(), QString("skip_%1").arg(code));
      // The keyboard on the choices: the ring around the focused circle.
      rig_.host->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(rig_.host.get()));
      rig_.page->choiceButton(kelvaro::kSkip)->setFocus(Qt::TabFocusReason);
      QTest::keyClick(rig_.page->choiceButton(kelvaro::kSkip), Qt::Key_Up);
      QTRY_COMPARE(rig_.page->choice(), int(kelvaro::kSignUp));
      Save(rig_.page->grab().toImage(), QString("focus_on_choice_%1").arg(code));
    }
  }

  void errorStates_data() {
    QTest::addColumn<int>("language");
    QTest::addRow("en") << 0;
    QTest::addRow("zh_CN") << 5;
  }
  void errorStates() {
    QFETCH(int, language);
    const QString code = QTest::currentDataTag();
    const auto Save = [&code](const QImage& shot, const QString& name) { ::Save(shot, name + "_" + code); };
    vrx::test::UseLanguage(language);
    OpenCloudPage(rig_);
    SignIn("owner@kelvaro", kOwnerPassword);
    Save(rig_.page->grab().toImage(), "error_invalid_email");

    SignUpForm(rig_.page, "lin@kelvaro.test", "Secret99", "Secret98");
    AcceptTerms(rig_.page);
    QTest::mouseClick(rig_.page->nextButton(), Qt::LeftButton);
    Save(rig_.page->grab().toImage(), "error_passwords_differ");

    Choose(rig_.page, kelvaro::kSignIn);
    QImage waiting;
    vrx::test::WhenShown<ui::CWaitingPage>(
        [this, &waiting](ui::CWaitingPage* veil) { waiting = vrx::test::UnderWaiting(rig_.page, veil); });
    SignIn(kOwner, "wrong-one");
    QVERIFY(!waiting.isNull());
    Save(waiting, "waiting");
    QVERIFY(rig_.page->emailError().contains("SIGNINERR003"));  // a sign-in's words stand beside the e-mail
    Save(rig_.page->grab().toImage(), "error_service_sign_in");

    SignUpForm(rig_.page, kOwner, "Secret99", "Secret99");
    QTest::mouseClick(rig_.page->nextButton(), Qt::LeftButton);
    QVERIFY(rig_.page->emailError().contains("SIGNUPERR001"));
    Save(rig_.page->grab().toImage(), "error_service_email_row");

    Choose(rig_.page, kelvaro::kSignIn);
    SignUpForm(rig_.page, "new@kelvaro.test", "abc", "abc");
    QTest::mouseClick(rig_.page->nextButton(), Qt::LeftButton);
    QVERIFY(rig_.page->passwordError().contains("SIGNUPERR002"));
    Save(rig_.page->grab().toImage(), "error_service_password_row");

    QVERIFY(rig_.sim->setCloudDown(true));
    Choose(rig_.page, kelvaro::kSignIn);
    QImage failed;
    vrx::test::WhenShown<ui::CErrorPage>([this, &failed](ui::CErrorPage* popup) {
      failed = vrx::test::UnderPopup(rig_.page, popup);
      popup->closeButton()->click();
    });
    SignIn(kOwner, kOwnerPassword);
    QVERIFY(!failed.isNull());
    Save(failed, "error_network_failed");
  }

  // The no-Internet alert asks for the files' SKIP key (Portuguese and Russian carry it under a tab on purpose,
  // so there the English word shows).
  void noInternetAlert() {
    const std::tuple<int, const char*, QString> languages[] = {
        {0, "en", "SKIP"}, {5, "zh_CN", QString::fromUtf8("跳过")}, {2, "ru", "SKIP"}};
    for (const auto& [language, code, skip] : languages) {
      vrx::test::UseLanguage(language);
      rig_.host = std::make_unique<CInterDialog>();
      rig_.page = ShowCloudPage(*rig_.host);
      QVERIFY(rig_.page);
      QImage shot;
      QString shown;
      vrx::test::WhenShown<ui::CNetAlarmPage>([this, &shot, &shown](ui::CNetAlarmPage* popup) {
        shown = popup->skipButton()->text();
        shot = vrx::test::UnderPopup(rig_.page, popup);
        popup->skipButton()->click();
      });
      ui::OpenOverlay(rig_.page, ui::kOverlayNetAlarm);
      QCOMPARE(shown, skip);
      Save(shot, QString("no_internet_%1").arg(code));
    }
  }

  void bindErrorState() {
    OpenCloudPage(rig_, /*bindOmitsDevice*/ true);
    SignIn(kOwner, kOwnerPassword);
    QVERIFY(!rig_.page->emailError().isEmpty());
    Save(rig_.page->grab().toImage(), "error_bind_reply");
  }
};

QTEST_MAIN(KelvaroScreenshotTest)
#include "KelvaroScreenshotTest.moc"
