// The cloud page against the simulated recorder and kelvaro service: sign-in and sign-up that end with the
// recorder bound and registered, the service's errors beside their rows, the service down, a bind reply that
// does not name the recorder, the checks made before anything is sent, skip, and when the page is not shown.
#include <QtTest>
#include <memory>

#include "KelvaroPageFixture.h"
#include "i18n/LangString.h"
#include "pages/summary/SummaryDlg.h"
#include "ui/Alerts.h"

using namespace vrx;
using namespace cloudtest;
using vrx::test::SimProcess;
using Page = CKelvaroServiceDlg;

namespace {

// The requests the recorder and the service received, as "GET /path?query" / "POST /path".
QStringList Requests(const SimProcess& sim) {
  QStringList out;
  for (const auto& entry : sim.log()) out << QString::fromStdString(entry["request"].get<std::string>());
  return out;
}

int IndexOf(const QStringList& requests, const QString& prefix) {
  for (int i = 0; i < requests.size(); ++i)
    if (requests[i].startsWith(prefix)) return i;
  return -1;
}

}  // namespace

class KelvaroPageTest : public QObject {
  Q_OBJECT

  CloudPageRig rig_;
  std::unique_ptr<SimProcess>& sim_ = rig_.sim;
  std::unique_ptr<CInterDialog>& host_ = rig_.host;
  Page*& page_ = rig_.page;

  void Open(bool bindOmitsDevice = false) { rig_.Open(bindOmitsDevice); }

  nlohmann::json RecorderCloud() const { return sim_->state()["recorder"]["cloud"]; }
  nlohmann::json Bindings() const { return sim_->state()["kelvaro"]["bindings"]; }

  // Clicks Next and answers the network failure popup if one comes; its message, or "" when none came.
  QString NextAndCatchFailure() {
    QString message;
    QTimer watch;  // looks for the popup from inside the click's modal loops, and only during this click
    watch.setInterval(10);
    connect(&watch, &QTimer::timeout, [&] {
      if (auto* popup = vrx::test::VisiblePopup<ui::CErrorPage>()) {
        message = popup->message();
        popup->closeButton()->click();
      }
    });
    watch.start();
    QTest::mouseClick(page_->nextButton(), Qt::LeftButton);
    return message;
  }

  void ExpectStillOnPage() {
    QCOMPARE(host_->pageType(), int(kPageCloudService));
    QCOMPARE(host_->currentPage(), static_cast<QWidget*>(page_));
  }

 private slots:
  void initTestCase() { LoadLanguageFile(0); }

  void cleanup() { rig_.Reset(); }

  void signInBindsTheRecorder() {
    Open();
    Type(page_, Page::kEmail, kOwner);
    Type(page_, Page::kPassword, kOwnerPassword);
    QCOMPARE(NextAndCatchFailure(), QString());

    QTRY_COMPARE(host_->pageType(), int(kPageSummary));
    QCOMPARE(host_->GetCloudEmail(), QString(kOwner));
    QCOMPARE(host_->GetCloudPassword(), QString(kOwnerPassword));
    const nlohmann::json cloud = RecorderCloud();
    QCOMPARE(cloud["registered"].get<bool>(), true);
    QCOMPARE(cloud["email"].get<std::string>(), std::string(kOwner));
    QCOMPARE(cloud["password"].get<std::string>(), std::string(kOwnerPassword));
    QCOMPARE(Bindings()[kPortalNumber].get<std::string>(), std::string(kOwner));
    // In this order: sign-in, bind, registration status, account info.
    const QStringList requests = Requests(*sim_);
    const int signIn = IndexOf(requests, "POST /account/?signin"), bind = IndexOf(requests, "POST /account/?add"),
              status = IndexOf(requests, "GET /config/kelvaroregstatus?status=1"),
              info = IndexOf(requests, "GET /config/kelvaroreginfo?email=owner@kelvaro.test&password=kelvaro1&status=1");
    QVERIFY2(signIn >= 0 && signIn < bind && bind < status && status < info, qPrintable(requests.join('\n')));
  }

  void signUpCreatesTheAccountAndBinds() {
    Open();
    SignUpForm(page_, "lin@kelvaro.test", "Secret99", "Secret99");
    AcceptTerms(page_);
    QCOMPARE(NextAndCatchFailure(), QString());

    QTRY_VERIFY2(host_->pageType() == kPageSummary, qPrintable(Requests(*sim_).join('\n')));
    QCOMPARE(host_->GetCloudEmail(), QString("lin@kelvaro.test"));
    const nlohmann::json state = sim_->state();
    bool created = false;
    for (const auto& a : state["kelvaro"]["accounts"])
      created |= a["email"] == "lin@kelvaro.test" && a["password"] == "Secret99" && a["first_name"] == "Lin" &&
                 a["last_name"] == "Park";
    QVERIFY(created);
    QCOMPARE(Bindings()[kPortalNumber].get<std::string>(), std::string("lin@kelvaro.test"));
    QCOMPARE(state["recorder"]["cloud"]["registered"].get<bool>(), true);
    QCOMPARE(state["recorder"]["cloud"]["email"].get<std::string>(), std::string("lin@kelvaro.test"));
    // After the binding the recorder is also told the account directly.
    const QStringList requests = Requests(*sim_);
    QVERIFY(IndexOf(requests, "POST /signin") >= 0);
    QVERIFY2(IndexOf(requests, "GET /config/kelvaroreginfo?status=1&email=lin@kelvaro.test&password=Secret99") >
                 IndexOf(requests, "GET /config/kelvaroreginfo?email="),
             qPrintable(requests.join('\n')));
  }

  void serviceErrorsShowBesideTheirRow_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("onPasswordRow");
    QTest::newRow("sign-in, wrong password") << int(kelvaro::kSignIn) << kOwner << "wrong-one" << "SIGNINERR003" << true;
    QTest::newRow("sign-in, no such account") << int(kelvaro::kSignIn) << "nobody@kelvaro.test" << "whatever1"
                                              << "SIGNINERR002" << false;
    QTest::newRow("sign-up, address taken") << int(kelvaro::kSignUp) << kOwner << "Secret99" << "SIGNUPERR001" << false;
    QTest::newRow("sign-up, password too short") << int(kelvaro::kSignUp) << "new@kelvaro.test" << "abc"
                                                 << "SIGNUPERR002" << true;
  }
  void serviceErrorsShowBesideTheirRow() {
    QFETCH(int, choice);
    QFETCH(QString, email);
    QFETCH(QString, password);
    QFETCH(QString, word);
    QFETCH(bool, onPasswordRow);
    Open();
    if (choice == kelvaro::kSignUp) {
      SignUpForm(page_, email, password, password);
      AcceptTerms(page_);
    } else {
      Type(page_, Page::kEmail, email);
      Type(page_, Page::kPassword, password);
    }
    QCOMPARE(NextAndCatchFailure(), QString());

    ExpectStillOnPage();
    const QString shown = onPasswordRow ? page_->passwordError() : page_->emailError();
    QVERIFY2(shown.contains(word), qPrintable(shown));
    QCOMPARE(page_->rowMarked(Page::kPassword), onPasswordRow);
    QCOMPARE(page_->rowMarked(Page::kEmail), !onPasswordRow);
    // A failed attempt keeps what the user chose and typed.
    QCOMPARE(page_->choice(), choice);
    QCOMPARE(page_->entry(Page::kEmail)->text(), email);
    QCOMPARE(page_->entry(Page::kPassword)->text(), password);
    if (choice == kelvaro::kSignUp) QVERIFY(page_->termsAccepted() && page_->nextButton()->isEnabled());
    QCOMPARE(RecorderCloud()["registered"].get<bool>(), false);
  }

  void serviceDownIsANetworkFailure() {
    Open();
    QVERIFY(sim_->setCloudDown(true));
    Type(page_, Page::kEmail, kOwner);
    Type(page_, Page::kPassword, kOwnerPassword);
    QCOMPARE(NextAndCatchFailure(), QString("Check Network Failed!"));

    ExpectStillOnPage();
    QCOMPARE(page_->entry(Page::kEmail)->text(), QString(kOwner));
    QCOMPARE(page_->entry(Page::kPassword)->text(), QString(kOwnerPassword));
    QCOMPARE(page_->choice(), int(kelvaro::kSignIn));
    QVERIFY(page_->nextButton()->isEnabled());
    QCOMPARE(host_->GetCloudEmail(), QString());
  }

  void bindReplyNotNamingTheRecorderStops() {
    Open(/*bindOmitsDevice*/ true);
    Type(page_, Page::kEmail, kOwner);
    Type(page_, Page::kPassword, kOwnerPassword);
    QCOMPARE(NextAndCatchFailure(), QString());

    ExpectStillOnPage();
    QCOMPARE(page_->emailError(), QString("success: device added to owner@kelvaro.test"));
    QCOMPARE(RecorderCloud()["registered"].get<bool>(), false);
    QCOMPARE(IndexOf(Requests(*sim_), "GET /config/kelvaroregstatus"), -1);
    QCOMPARE(host_->GetCloudEmail(), QString());
  }

  // Nothing is sent while the address is malformed, the passwords differ or the terms are not accepted.
  void checksBeforeSending() {
    Open();
    Type(page_, Page::kEmail, "owner@kelvaro");
    Type(page_, Page::kPassword, kOwnerPassword);
    QTest::mouseClick(page_->nextButton(), Qt::LeftButton);
    QCOMPARE(page_->emailError(), QString("Error: Invalid Email address!"));
    QVERIFY(page_->rowMarked(Page::kEmail) && !page_->rowMarked(Page::kPassword));

    SignUpForm(page_, "new@kelvaro.test", "Secret99", "Secret98");
    QVERIFY2(page_->emailError().isEmpty(), "a new choice starts clean");
    QVERIFY(!page_->nextButton()->isEnabled());
    QTest::mouseClick(page_->nextButton(), Qt::LeftButton);  // disabled: nothing happens
    AcceptTerms(page_);
    QVERIFY(page_->nextButton()->isEnabled());
    QTest::mouseClick(page_->nextButton(), Qt::LeftButton);
    QCOMPARE(page_->passwordError(), QString("Error: The passwords doesn't match!"));
    QVERIFY(page_->rowMarked(Page::kPassword) && page_->rowMarked(Page::kConfirm));
    QTest::mouseClick(page_->termsBox(), Qt::LeftButton);
    QTRY_VERIFY(!page_->nextButton()->isEnabled());

    ExpectStillOnPage();
    QCOMPARE(Requests(*sim_).filter("signin").size() + Requests(*sim_).filter("account").size(), 0);
  }

  void skipEmptiesAccessAndMovesOn() {
    Open();
    Choose(page_, kelvaro::kSkip);
    QVERIFY(!page_->entry(Page::kEmail)->isVisibleTo(page_));
    QTest::mouseClick(page_->nextButton(), Qt::LeftButton);
    QTRY_COMPARE(host_->pageType(), int(kPageSummary));
    QCOMPARE(host_->CloudValue(kCloudAccess), QString());
    QVERIFY(Requests(*sim_).filter("kelvaro").isEmpty());
  }

  // The host shows the summary in place of the cloud page unless the service is offered and not yet in use.
  void pageShownOnlyForAnUnregisteredRecorderWithAccess_data() {
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("access");
    QTest::addColumn<bool>("shown");
    QTest::newRow("offered, not registered") << "0" << "1" << true;
    QTest::newRow("already registered") << "1" << "1" << false;
    QTest::newRow("no access") << "0" << "0" << false;
    QTest::newRow("never reported") << "" << "" << false;
  }
  void pageShownOnlyForAnUnregisteredRecorderWithAccess() {
    QFETCH(QString, status);
    QFETCH(QString, access);
    QFETCH(bool, shown);
    host_ = std::make_unique<CInterDialog>();
    PrepareHost(*host_, status, access);
    WalkToCloudPage(*host_);
    QCOMPARE(qobject_cast<CKelvaroServiceDlg*>(host_->currentPage()) != nullptr, shown);
    QCOMPARE(qobject_cast<CSummaryDlg*>(host_->currentPage()) != nullptr, !shown);
  }
};

QTEST_MAIN(KelvaroPageTest)
#include "KelvaroPageTest.moc"
