// The cloud page's account work without a window: the job runs on its own thread against the simulated
// recorder and kelvaro service and ends with a typed result, one row of the table per way it can end.
#include <QtTest>
#include <memory>

#include "KelvaroPageFixture.h"
#include "net/DeviceCommandWorker.h"
#include "pages/cloud/KelvaroJob.h"

using namespace vrx;
using namespace cloudtest;
using vrx::test::SimProcess;

Q_DECLARE_METATYPE(vrx::AccountOutcome)
Q_DECLARE_METATYPE(vrx::AccountFault)

namespace {

// What the page would hand over on the cloud page of Scenario().
KelvaroJob::Request MakeRequest(int choice, const QString& email, const QString& password) {
  KelvaroJob::Request r;
  r.choice = kelvaro::Choice(choice);
  r.recorder = {kRecorderIp, kRecorderMac, 0, "admin", net::Secret(kAdminPassword)};
  r.portalHost = kKelvaroIp;
  r.portalNumber = kPortalNumber;
  r.portalDfp = kDfp;
  r.email = email.toStdString();
  r.password = net::Secret(password.toStdString());
  r.confirm = r.password.Copy();
  r.firstName = "Lin";
  r.lastName = "Park";
  return r;
}

}  // namespace

class KelvaroJobTest : public QObject {
  Q_OBJECT

 private slots:
  void endsWithATypedResult_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("bindOmitsDevice");
    QTest::addColumn<bool>("serviceDown");
    QTest::addColumn<AccountOutcome>("outcome");
    QTest::addColumn<AccountFault>("fault");
    QTest::addColumn<QString>("replyWord");
    QTest::addColumn<int>("fallbackRow");
    const int signIn = kelvaro::kSignIn, signUp = kelvaro::kSignUp;
    const int email = int(kelvaro::Row::Email), passwordRow = int(kelvaro::Row::Password);
    QTest::newRow("sign-in, registered") << signIn << kOwner << kOwnerPassword << false << false
                                         << AccountOutcome::Registered << AccountFault::None << "" << email;
    QTest::newRow("sign-up, registered") << signUp << "lin@kelvaro.test"
                                         << "Secret99" << false << false << AccountOutcome::Registered
                                         << AccountFault::None << "" << email;
    QTest::newRow("sign-in refused") << signIn << kOwner << "wrong-one" << false << false
                                     << AccountOutcome::ServiceRefused << AccountFault::Refused << "SIGNINERR003"
                                     << email;
    QTest::newRow("sign-up refused") << signUp << kOwner << "Secret99" << false << false
                                     << AccountOutcome::ServiceRefused << AccountFault::Refused << "SIGNUPERR001"
                                     << passwordRow;
    QTest::newRow("bind names another device")
        << signIn << kOwner << kOwnerPassword << true << false << AccountOutcome::ServiceRefused
        << AccountFault::BindNotNamed << "success" << email;
    QTest::newRow("service down") << signIn << kOwner << kOwnerPassword << false << true
                                  << AccountOutcome::NetworkFailed << AccountFault::NoAnswer << "" << email;
  }
  void endsWithATypedResult() {
    QFETCH(int, choice);
    QFETCH(QString, email);
    QFETCH(QString, password);
    QFETCH(bool, bindOmitsDevice);
    QFETCH(bool, serviceDown);
    QFETCH(AccountOutcome, outcome);
    QFETCH(AccountFault, fault);
    QFETCH(QString, replyWord);
    QFETCH(int, fallbackRow);
    auto sim = SimProcess::fromText(Scenario(bindOmitsDevice));
    QVERIFY2(sim->ready(), sim->error().c_str());
    sim->exportCaFile();
    if (serviceDown) QVERIFY(sim->setCloudDown(true));

    net::DeviceCommandWorker worker;
    KelvaroJob job(worker);
    QVERIFY(job.thread().StartKept(job.Work(MakeRequest(choice, email, password))));
    QTRY_VERIFY_WITH_TIMEOUT(!job.thread().Active(), 60000);  // nothing but the busy flag is watched
    const std::optional<AccountResult> result = job.thread().Take();
    QVERIFY(result);
    QCOMPARE(result->outcome, outcome);
    QCOMPARE(result->fault, fault);
    QVERIFY2(result->reply.contains(replyWord), qPrintable(result->reply));
    QCOMPARE(int(result->row), fallbackRow);
    QCOMPARE(sim->state()["recorder"]["cloud"]["registered"].get<bool>(), outcome == AccountOutcome::Registered);
  }

  // A job stopped while it waits gives no result at all, and stops within its stop wait.
  void stoppedJobGivesNoResult() {
    auto sim = SimProcess::fromText(Scenario());
    QVERIFY2(sim->ready(), sim->error().c_str());
    sim->exportCaFile();
    net::DeviceCommandWorker worker;
    KelvaroJob job(worker);
    QVERIFY(job.thread().StartKept(job.Work(MakeRequest(kelvaro::kSignIn, kOwner, kOwnerPassword))));
    QTest::qWait(300);  // inside the first settling wait
    job.Stop();
    QVERIFY(!job.thread().Active());
    QVERIFY(!job.thread().Take());
  }
};

QTEST_GUILESS_MAIN(KelvaroJobTest)
#include "KelvaroJobTest.moc"
