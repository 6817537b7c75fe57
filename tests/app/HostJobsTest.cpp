// The host's background jobs against the simulated recorder: the blank-password probe's three outcomes (a new
// recorder, one with a password, one that does not answer) as the host's probe outcome holds them, and the disk
// status poller telling the disk page its ports (by value) and an unplugged disk. Runs inside the sandbox.
#include <QtTest>
#include <chrono>
#include <memory>
#include <vector>

#include "SimProcess.h"
#include "app/InterDialog.h"
#include "app/PageRegistry.h"

using namespace vrx;
using vrx::test::SimProcess;

namespace {

constexpr char kScenario[] = R"({
  "name": "host-jobs",
  "recorder": { "address": "127.0.14.1", "mac": "00:1d:4f:a0:14:01", "admin_password": "",
                "disks": [ { "plugged": true, "ready": true, "fs": 4 }, { "plugged": true, "ready": false, "fs": 1 } ] },
  "kelvaro": { "address": "127.0.34.1" }
})";

struct Message {
  unsigned msg;
  WPARAM w;
  LPARAM l;
};

// A stand-in page that records what the host's jobs post to it.
class StubPage : public QWidget {
 public:
  StubPage(QWidget* parent, std::vector<Message>* log) : QWidget(parent) {
    new MessagePort(this, [log](unsigned m, WPARAM w, LPARAM l) { log->push_back({m, w, l}); });
  }
};

int Count(const std::vector<Message>& log, unsigned msg) {
  int n = 0;
  for (const Message& m : log) n += m.msg == msg;
  return n;
}

}  // namespace

class HostJobsTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    sim_ = SimProcess::fromText(kScenario);
    QVERIFY2(sim_->ready(), sim_->error().c_str());
    ClearPageRegistry();
    for (int type : {kPageNvrPassword, kPageHddFormat})
      RegisterPage(type, [this](CInterDialog& host) { return new StubPage(&host, &log_); });
  }
  void cleanupTestCase() { sim_.reset(); }
  void init() { log_.clear(); }

  // The probe looks the recorder up among the discovery results, so the host searches first.
  void probeOutcomes_data() {
    QTest::addColumn<QString>("recorder");  // control query applied before the probe
    QTest::addColumn<bool>("passwordRequired");
    QTest::addColumn<bool>("unreachable");
    QTest::newRow("new recorder") << "admin_password=&datagram_silent=0" << false << false;
    QTest::newRow("recorder with a password") << "admin_password=Admin123&datagram_silent=0" << true << false;
    QTest::newRow("silent recorder") << "admin_password=&datagram_silent=1" << false << true;
  }
  void probeOutcomes() {
    QFETCH(QString, recorder);
    QFETCH(bool, passwordRequired);
    QFETCH(bool, unreachable);
    QVERIFY(sim_->setRecorder(recorder.toStdString()));
    CInterDialog host;
    QCOMPARE(host.discovery().Start(), int(net::DeviceSearch::kSearching));
    QTRY_COMPARE_WITH_TIMEOUT(host.discovery().State(), int(net::DeviceSearch::kFinished), 9000);
    host.SetRecorderIp(QStringLiteral("127.0.14.1"));
    host.SetRecorderMac(QStringLiteral("00:1d:4f:a0:14:01"));

    // The search page's order: the probe starts, then the password page is shown.
    PostMessage(host.handle(), WM_WIZ_PROBE);
    QCoreApplication::processEvents();
    host.ShowPage(kPageNvrPassword);
    ProbeOutcome& outcome = host.probeOutcome();
    if (unreachable) {  // the unanswered check takes 3 s: pending, and no verdict, from the moment the host acts
      QCOMPARE(outcome.pending().load(), 1);
      QVERIFY(!outcome.verdict());
    }
    QTRY_COMPARE_WITH_TIMEOUT(outcome.pending().load(), 0, 8000);
    QVERIFY(outcome.verdict() == (ProbeVerdict{passwordRequired, unreachable}));
    QTest::qWait(50);
    QCOMPARE(Count(log_, WM_WIZ_PROBEFAIL), unreachable ? 1 : 0);
    // The failure waits in the outcome until the page takes it, once.
    QCOMPARE(outcome.TakeFailure(), unreachable);
    QVERIFY(!outcome.TakeFailure());
  }

  // A recorder the search never heard (or no address at all) is treated as one that did not answer. That
  // probe fails at once, before the password page is on screen: no message then, and the failure waits in
  // the outcome for the page.
  void probeOfUnknownRecorderFails() {
    CInterDialog host;  // no search run: the lookup fails
    host.SetRecorderIp(QStringLiteral("127.0.14.1"));
    host.SetRecorderMac(QStringLiteral("00:1d:4f:a0:14:01"));
    PostMessage(host.handle(), WM_WIZ_PROBE);
    QCoreApplication::processEvents();
    QTRY_COMPARE(host.probeOutcome().pending().load(), 0);
    QVERIFY(host.probeOutcome().verdict() == (ProbeVerdict{false, true}));
    host.ShowPage(kPageNvrPassword);
    QTest::qWait(50);
    QCOMPARE(Count(log_, WM_WIZ_PROBEFAIL), 0);
    QVERIFY(host.probeOutcome().TakeFailure());
  }

  void pollerReportsDisksAndAnUnplug() {
    QVERIFY(sim_->setRecorder("admin_password=&datagram_silent=0"));
    CInterDialog host;
    host.SetRecorderIp(QStringLiteral("127.0.14.1"));
    host.SetRecorderMac(QStringLiteral("00:1d:4f:a0:14:01"));
    host.SetAdminUser(QStringLiteral("admin"));
    host.ShowPage(kPageHddFormat);
    PostMessage(host.handle(), WM_WIZ_DISKPOLL, 0);

    // The first pass is always reported, the ports by value; the file-system codes stay with the host.
    QTRY_COMPARE_WITH_TIMEOUT(Count(log_, WM_WIZ_DISKSTATUS), 1, 5000);
    QCOMPARE(DiskPorts::FromMessage(log_.back().w), (DiskPorts{{1, 0}, {1, 1}}));
    QCOMPARE(host.diskStatus().fileSystems, (steps::PortFlags{4, 1}));

    // Unchanged flags are not reported again; an unplugged HD1 is, within about a second.
    QTest::qWait(1200);
    QCOMPARE(Count(log_, WM_WIZ_DISKSTATUS), 1);
    QElapsedTimer sinceUnplug;
    QVERIFY(sim_->plugDisk(0, false, false));
    sinceUnplug.start();
    QTRY_COMPARE_WITH_TIMEOUT(Count(log_, WM_WIZ_DISKSTATUS), 2, 3000);  // a pass takes about 0.9 s
    qInfo("unplug reported after %lld ms", static_cast<long long>(sinceUnplug.elapsed()));
    QCOMPARE(DiskPorts::FromMessage(log_.back().w), (DiskPorts{{0, 0}, {0, 1}}));

    // Stopped: no more reports.
    PostMessage(host.handle(), WM_WIZ_DISKPOLL, 1);
    QTest::qWait(50);
    QVERIFY(sim_->plugDisk(0, true, true));
    QTest::qWait(1500);
    QCOMPARE(Count(log_, WM_WIZ_DISKSTATUS), 2);
    QVERIFY(sim_->plugDisk(0, true, true));
  }

 private:
  std::unique_ptr<SimProcess> sim_;
  std::vector<Message> log_;
};

QTEST_MAIN(HostJobsTest)
#include "HostJobsTest.moc"
