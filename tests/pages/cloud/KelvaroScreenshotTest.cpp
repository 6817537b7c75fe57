// Pictures of the cloud page for a person to look at: the three choices in English, Spanish and Traditional
// Chinese, then (in English) every error state: a malformed address, passwords that differ, the service's
// errors beside the e-mail and the password rows, a bind reply that does not name the recorder, the waiting
// veil and "Check Network Failed!". Saved as $VRX_BUILD_DIR/screenshots/cloud_*.png.
#include <QtTest>
#include <memory>

#include "KelvaroPageFixture.h"
#include "WizardTestSupport.h"
#include "i18n/LangString.h"
#include "ui/Alerts.h"
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
  std::unique_ptr<SimProcess>& sim_ = rig_.sim;
  std::unique_ptr<CInterDialog>& host_ = rig_.host;
  Page*& page_ = rig_.page;

  void Open(bool bindOmitsDevice = false) { rig_.Open(bindOmitsDevice); }

  void SignIn(const QString& email, const QString& password) {
    Type(page_, Page::kEmail, email);
    Type(page_, Page::kPassword, password);
    QTest::mouseClick(page_->nextButton(), Qt::LeftButton);
  }

 private slots:
  void cleanup() {
    rig_.Reset();
    LoadLanguageFile(0);
  }

  void choicesInThreeLanguages() {
    const std::pair<int, const char*> languages[] = {{0, "en"}, {3, "es"}, {4, "zh_TW"}};
    for (const auto& [language, code] : languages) {
      LoadLanguageFile(language);
      host_ = std::make_unique<CInterDialog>();
      page_ = ShowCloudPage(*host_);
      QVERIFY(page_);
      Type(page_, Page::kEmail, kOwner);
      Type(page_, Page::kPassword, kOwnerPassword);
      Save(page_->grab().toImage(), QString("sign_in_%1").arg(code));
      SignUpForm(page_, "lin@kelvaro.test", "Secret99", "Secret99");
      Save(page_->grab().toImage(), QString("sign_up_%1").arg(code));
      AcceptTerms(page_);
      Save(page_->grab().toImage(), QString("sign_up_terms_accepted_%1").arg(code));
      Choose(page_, kelvaro::kSkip);
      Save(page_->grab().toImage(), QString("skip_%1").arg(code));
    }
  }

  void errorStates() {
    LoadLanguageFile(0);
    Open();
    SignIn("owner@kelvaro", kOwnerPassword);
    Save(page_->grab().toImage(), "error_invalid_email");

    SignUpForm(page_, "lin@kelvaro.test", "Secret99", "Secret98");
    AcceptTerms(page_);
    QTest::mouseClick(page_->nextButton(), Qt::LeftButton);
    Save(page_->grab().toImage(), "error_passwords_differ");

    Choose(page_, kelvaro::kSignIn);
    QImage waiting;
    vrx::test::WhenShown<ui::CWaitingPage>(
        [this, &waiting](ui::CWaitingPage* veil) { waiting = vrx::test::UnderWaiting(page_, veil); });
    SignIn(kOwner, "wrong-one");
    QVERIFY(!waiting.isNull());
    Save(waiting, "waiting");
    QVERIFY(page_->passwordError().contains("SIGNINERR003"));
    Save(page_->grab().toImage(), "error_service_password_row");

    SignUpForm(page_, kOwner, "Secret99", "Secret99");
    QTest::mouseClick(page_->nextButton(), Qt::LeftButton);
    QVERIFY(page_->emailError().contains("SIGNUPERR001"));
    Save(page_->grab().toImage(), "error_service_email_row");

    QVERIFY(sim_->setCloudDown(true));
    Choose(page_, kelvaro::kSignIn);
    QImage failed;
    vrx::test::WhenShown<ui::CErrorPage>([this, &failed](ui::CErrorPage* popup) {
      failed = vrx::test::UnderPopup(page_, popup);
      popup->closeButton()->click();
    });
    SignIn(kOwner, kOwnerPassword);
    QVERIFY(!failed.isNull());
    Save(failed, "error_network_failed");
  }

  void bindErrorState() {
    Open(/*bindOmitsDevice*/ true);
    SignIn(kOwner, kOwnerPassword);
    QVERIFY(!page_->emailError().isEmpty());
    Save(page_->grab().toImage(), "error_bind_reply");
  }
};

QTEST_MAIN(KelvaroScreenshotTest)
#include "KelvaroScreenshotTest.moc"
