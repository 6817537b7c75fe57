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

  nlohmann::json RecorderCloud() const { return rig_.sim->state()["recorder"]["cloud"]; }
  nlohmann::json Bindings() const { return rig_.sim->state()["kelvaro"]["bindings"]; }

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
    QTest::mouseClick(rig_.page->nextButton(), Qt::LeftButton);
    return message;
  }

  void ExpectStillOnPage() {
    QCOMPARE(rig_.host->pageType(), int(kPageCloudService));
    QCOMPARE(rig_.host->currentPage(), static_cast<QWidget*>(rig_.page));
  }

 private slots:
  void initTestCase() { vrx::test::UseLanguage(0); }

  void cleanup() { rig_.Reset(); }

  void signInBindsTheRecorder() {
    rig_.Open();
    Type(rig_.page, Page::kEmail, kOwner);
    Type(rig_.page, Page::kPassword, kOwnerPassword);
    QCOMPARE(NextAndCatchFailure(), QString());

    QTRY_COMPARE(rig_.host->pageType(), int(kPageSummary));
    QCOMPARE(rig_.host->GetCloudEmail(), QString(kOwner));
    QCOMPARE(rig_.host->GetCloudPassword(), QString(kOwnerPassword));
    const nlohmann::json cloud = RecorderCloud();
    QCOMPARE(cloud["registered"].get<bool>(), true);
    QCOMPARE(cloud["email"].get<std::string>(), std::string(kOwner));
    QCOMPARE(cloud["password"].get<std::string>(), std::string(kOwnerPassword));
    QCOMPARE(Bindings()[kPortalNumber].get<std::string>(), std::string(kOwner));
    // In this order: sign-in, bind, registration status, account info.
    const QStringList requests = Requests(*rig_.sim);
    const int signIn = IndexOf(requests, "POST /account/?signin"), bind = IndexOf(requests, "POST /account/?add"),
              status = IndexOf(requests, "GET /config/kelvaroregstatus?status=1"),
              info = IndexOf(requests, "GET /config/kelvaroreginfo?email=owner%40kelvaro.test&password=kelvaro1&status=1");
    QVERIFY2(signIn >= 0 && signIn < bind && bind < status && status < info, qPrintable(requests.join('\n')));
  }

  void signUpCreatesTheAccountAndBinds() {
    rig_.Open();
    SignUpForm(rig_.page, "lin@kelvaro.test", "Secret99", "Secret99");
    AcceptTerms(rig_.page);
    QCOMPARE(NextAndCatchFailure(), QString());

    QTRY_VERIFY2(rig_.host->pageType() == kPageSummary, qPrintable(Requests(*rig_.sim).join('\n')));
    QCOMPARE(rig_.host->GetCloudEmail(), QString("lin@kelvaro.test"));
    const nlohmann::json state = rig_.sim->state();
    bool created = false;
    for (const auto& a : state["kelvaro"]["accounts"])
      created |= a["email"] == "lin@kelvaro.test" && a["password"] == "Secret99" && a["first_name"] == "Lin" &&
                 a["last_name"] == "Park";
    QVERIFY(created);
    QCOMPARE(Bindings()[kPortalNumber].get<std::string>(), std::string("lin@kelvaro.test"));
    QCOMPARE(state["recorder"]["cloud"]["registered"].get<bool>(), true);
    QCOMPARE(state["recorder"]["cloud"]["email"].get<std::string>(), std::string("lin@kelvaro.test"));
    // After the binding the recorder is also told the account directly.
    const QStringList requests = Requests(*rig_.sim);
    QVERIFY(IndexOf(requests, "POST /signin") >= 0);
    QVERIFY2(IndexOf(requests, "GET /config/kelvaroreginfo?status=1&email=lin%40kelvaro.test&password=Secret99") >
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
    rig_.Open();
    if (choice == kelvaro::kSignUp) {
      SignUpForm(rig_.page, email, password, password);
      AcceptTerms(rig_.page);
    } else {
      Type(rig_.page, Page::kEmail, email);
      Type(rig_.page, Page::kPassword, password);
    }
    QCOMPARE(NextAndCatchFailure(), QString());

    ExpectStillOnPage();
    const QString shown = onPasswordRow ? rig_.page->passwordError() : rig_.page->emailError();
    QVERIFY2(shown.contains(word), qPrintable(shown));
    QCOMPARE(rig_.page->rowMarked(Page::kPassword), onPasswordRow);
    QCOMPARE(rig_.page->rowMarked(Page::kEmail), !onPasswordRow);
    // A failed attempt keeps what the user chose and typed.
    QCOMPARE(rig_.page->choice(), choice);
    QCOMPARE(rig_.page->entry(Page::kEmail)->text(), email);
    QCOMPARE(rig_.page->entry(Page::kPassword)->text(), password);
    if (choice == kelvaro::kSignUp) QVERIFY(rig_.page->termsAccepted() && rig_.page->nextButton()->isEnabled());
    QCOMPARE(RecorderCloud()["registered"].get<bool>(), false);
  }

  void serviceDownIsANetworkFailure() {
    rig_.Open();
    QVERIFY(rig_.sim->setCloudDown(true));
    Type(rig_.page, Page::kEmail, kOwner);
    Type(rig_.page, Page::kPassword, kOwnerPassword);
    QCOMPARE(NextAndCatchFailure(), QString("Check Network Failed!"));

    ExpectStillOnPage();
    QCOMPARE(rig_.page->entry(Page::kEmail)->text(), QString(kOwner));
    QCOMPARE(rig_.page->entry(Page::kPassword)->text(), QString(kOwnerPassword));
    QCOMPARE(rig_.page->choice(), int(kelvaro::kSignIn));
    QVERIFY(rig_.page->nextButton()->isEnabled());
    QCOMPARE(rig_.host->GetCloudEmail(), QString());
  }

  void bindReplyNotNamingTheRecorderStops() {
    rig_.Open(/*bindOmitsDevice*/ true);
    Type(rig_.page, Page::kEmail, kOwner);
    Type(rig_.page, Page::kPassword, kOwnerPassword);
    QCOMPARE(NextAndCatchFailure(), QString());

    ExpectStillOnPage();
    QCOMPARE(rig_.page->emailError(), QString("success: device added to owner@kelvaro.test"));
    QCOMPARE(RecorderCloud()["registered"].get<bool>(), false);
    QCOMPARE(IndexOf(Requests(*rig_.sim), "GET /config/kelvaroregstatus"), -1);
    QCOMPARE(rig_.host->GetCloudEmail(), QString());
  }

  // Nothing is sent while the address is malformed, the passwords differ or the terms are not accepted.
  void checksBeforeSending() {
    rig_.Open();
    Type(rig_.page, Page::kEmail, "owner@kelvaro");
    Type(rig_.page, Page::kPassword, kOwnerPassword);
    QTest::mouseClick(rig_.page->nextButton(), Qt::LeftButton);
    QCOMPARE(rig_.page->emailError(), QString("Error: Invalid Email address!"));
    QVERIFY(rig_.page->rowMarked(Page::kEmail) && !rig_.page->rowMarked(Page::kPassword));

    SignUpForm(rig_.page, "new@kelvaro.test", "Secret99", "Secret98");
    QVERIFY2(rig_.page->emailError().isEmpty(), "a new choice starts clean");
    QVERIFY(!rig_.page->nextButton()->isEnabled());
    QTest::mouseClick(rig_.page->nextButton(), Qt::LeftButton);  // disabled: nothing happens
    AcceptTerms(rig_.page);
    QVERIFY(rig_.page->nextButton()->isEnabled());
    QTest::mouseClick(rig_.page->nextButton(), Qt::LeftButton);
    QCOMPARE(rig_.page->passwordError(), QString("Error: The passwords doesn't match!"));
    QVERIFY(rig_.page->rowMarked(Page::kPassword) && rig_.page->rowMarked(Page::kConfirm));
    QTest::mouseClick(rig_.page->termsBox(), Qt::LeftButton);
    QTRY_VERIFY(!rig_.page->nextButton()->isEnabled());

    ExpectStillOnPage();
    QCOMPARE(Requests(*rig_.sim).filter("signin").size() + Requests(*rig_.sim).filter("account").size(), 0);
  }

  void skipEmptiesAccessAndMovesOn() {
    rig_.Open();
    Choose(rig_.page, kelvaro::kSkip);
    QVERIFY(!rig_.page->entry(Page::kEmail)->isVisibleTo(rig_.page));
    QTest::mouseClick(rig_.page->nextButton(), Qt::LeftButton);
    QTRY_COMPARE(rig_.host->pageType(), int(kPageSummary));
    QCOMPARE(rig_.host->CloudValue(kCloudAccess), QString());
    QVERIFY(Requests(*rig_.sim).filter("kelvaro").isEmpty());
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
    rig_.host = std::make_unique<CInterDialog>();
    PrepareHost(*rig_.host, status, access);
    WalkToCloudPage(*rig_.host);
    QCOMPARE(qobject_cast<CKelvaroServiceDlg*>(rig_.host->currentPage()) != nullptr, shown);
    QCOMPARE(qobject_cast<CSummaryDlg*>(rig_.host->currentPage()) != nullptr, !shown);
  }
};

QTEST_MAIN(KelvaroPageTest)
#include "KelvaroPageTest.moc"
