#include <QtTest>
#include <atomic>
#include <memory>
#include <thread>

#include "platform/MessagePort.h"

using namespace vrx;

class MessagePortTest : public QObject {
  Q_OBJECT
 private slots:
  void deliversInPostingOrderOnUiThread() {
    QObject owner;
    QList<unsigned> seen;
    bool onUiThread = true;
    auto* port = new MessagePort(&owner, [&](unsigned msg, WPARAM, LPARAM) {
      seen << msg;
      onUiThread &= QThread::currentThread() == qApp->thread();
    });
    std::thread worker([h = port->handle()] {
      QVERIFY(PostMessage(h, WM_WIZ_NAVIGATE, NAV_NEXT));
      QVERIFY(PostMessage(h, WM_WIZ_DISKPOLL, 0));
    });
    worker.join();
    QTRY_COMPARE(seen.size(), 2);
    QCOMPARE(seen, (QList<unsigned>{WM_WIZ_NAVIGATE, WM_WIZ_DISKPOLL}));
    QVERIFY(onUiThread);
  }

  // A worker keeps posting to a page that is destroyed meanwhile: nothing reaches the freed page.
  void messageForDestroyedWindowIsDropped() {
    std::atomic<int> delivered{0};
    auto owner = std::make_unique<QObject>();
    auto* port = new MessagePort(owner.get(), [&](unsigned, WPARAM, LPARAM) { ++delivered; });
    const WindowHandle h = port->handle();
    std::atomic<bool> stop{false};
    std::atomic<int> accepted{0};
    std::thread worker([&] {
      while (!stop) accepted += PostMessage(h, WM_WIZ_PROBEFAIL) ? 1 : 0;
    });
    QTRY_VERIFY(accepted > 100);
    owner.reset();  // the page goes away while posts are still coming in
    QVERIFY(!IsWindow(h));
    QCoreApplication::processEvents();
    const int before = delivered;
    QTest::qWait(20);
    QCOMPARE(int(delivered), before);
    stop = true;
    worker.join();
    QVERIFY(!PostMessage(h, WM_WIZ_PROBEFAIL));
  }
};

QTEST_MAIN(MessagePortTest)
#include "MessagePortTest.moc"
