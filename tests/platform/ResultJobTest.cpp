// Work that ends in a result: the result reaches its owner on the owner's thread, never after a stop, never
// after the owner has gone; a kept result waits for its owner to take it.
#include <QtTest>
#include <atomic>
#include <memory>
#include <thread>

#include "platform/ResultJob.h"

using namespace vrx;

namespace {

enum class Outcome { Ok, Failed };

// A owner that keeps its job as a member, as pages do.
struct Owner : QObject {
  ResultJob<Outcome> job{200};
  QList<Outcome> got;
  bool onOwnerThread = true;
  void Run(std::function<std::optional<Outcome>(BackgroundJob&)> work) {
    job.Start(this, std::move(work), [this](Outcome o) {
      got << o;
      onOwnerThread &= QThread::currentThread() == thread();
    });
  }
};

}  // namespace

class ResultJobTest : public QObject {
  Q_OBJECT
 private slots:
  void resultArrivesOnTheOwnersThread_data() {
    QTest::addColumn<int>("returned");  // -1: nothing
    QTest::addColumn<int>("expected");
    QTest::newRow("ok") << int(Outcome::Ok) << 1;
    QTest::newRow("failed") << int(Outcome::Failed) << 1;
    QTest::newRow("nothing to tell") << -1 << 0;
  }
  void resultArrivesOnTheOwnersThread() {
    QFETCH(int, returned);
    QFETCH(int, expected);
    Owner owner;
    owner.Run([returned](BackgroundJob&) -> std::optional<Outcome> {
      if (returned < 0) return std::nullopt;
      return Outcome(returned);
    });
    QTRY_VERIFY(!owner.job.Active());
    QCoreApplication::processEvents();
    QCOMPARE(owner.got.size(), expected);
    if (expected) QCOMPARE(int(owner.got.front()), returned);
    QVERIFY(owner.onOwnerThread);
  }

  // A result that comes after Stop belongs to work the owner no longer waits for.
  void aStoppedJobDeliversNothing() {
    Owner owner;
    owner.Run([](BackgroundJob& t) -> std::optional<Outcome> {
      while (t.Sleep(5)) {
      }
      return Outcome::Ok;
    });
    owner.job.Stop();
    QCoreApplication::processEvents();
    QTest::qWait(20);
    QVERIFY(owner.got.isEmpty());
  }

  // The owner goes while its result is queued: the call is dropped, nothing touches freed memory.
  void aResultForAnOwnerThatWentIsDropped() {
    auto owner = std::make_unique<Owner>();
    std::atomic<bool> delivered{false};
    owner->job.Start(owner.get(), [](BackgroundJob&) { return std::optional<Outcome>(Outcome::Ok); },
                     [&delivered](Outcome) { delivered = true; });
    // Without running the event loop: the result is queued, not yet delivered.
    while (owner->job.Active()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    owner.reset();
    QCoreApplication::processEvents();
    QVERIFY(!delivered);
  }

  void aKeptResultIsTakenOnce() {
    ResultJob<int> job;
    QVERIFY(job.StartKept([](BackgroundJob&) { return std::optional<int>(7); }));
    job.Stop();
    QCOMPARE(job.Take(), std::optional<int>(7));
    QCOMPARE(job.Take(), std::nullopt);
  }
};

QTEST_GUILESS_MAIN(ResultJobTest)
#include "ResultJobTest.moc"
