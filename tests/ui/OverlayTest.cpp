// The dimming veil, its kind table and the toolkit's popups; the waiting veil's flag and maximum.
#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <algorithm>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>
#include <functional>

#include "ui/Alerts.h"
#include "ui/Buttons.h"
#include "ui/Overlay.h"
#include "ui/Veil.h"
#include "ui/Waiting.h"
#include <QDialog>
#include <QPainter>

using namespace vrx::ui;

namespace {

// Runs act on the popup of type T as soon as the veil has opened it.
template <typename T>
void WhenPopupOpens(std::function<void(T*)> act) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* popup = qobject_cast<T*>(w); popup && popup->isVisible()) {
        poll->deleteLater();
        poll->stop();
        act(popup);
        return;
      }
    }
  });
  poll->start(10);
}

// A popup a page would register: ends with the result it is told.
class ScriptedPopup : public CPopupPage {
  Q_OBJECT
 public:
  ScriptedPopup(QWidget* veil, int result) : CPopupPage(veil, {200, 100}, {10, 10}) {
    QTimer::singleShot(0, this, [this, result] { done(result); });
  }
};

}  // namespace

class OverlayTest : public QObject {
  Q_OBJECT
 private slots:

  // Without translucent windows a veil would be solid black: it shows the page under it, darkened instead.
  void veilBackdropDarkensThePageWhenWindowsCannotBeTranslucent_data() {
    QTest::addColumn<bool>("translucent");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("translucent windows: black, the window fades it") << true << QColor(Qt::black);
    QTest::newRow("opaque windows: page under 60 % black") << false << QColor(102, 0, 0);
  }
  void veilBackdropDarkensThePageWhenWindowsCannotBeTranslucent() {
    QFETCH(bool, translucent);
    QFETCH(QColor, expected);
    QWidget page;
    page.setGeometry(100, 100, 200, 120);
    page.setAutoFillBackground(true);
    QPalette pal = page.palette();
    pal.setColor(QPalette::Window, Qt::red);
    page.setPalette(pal);
    page.show();
    QDialog veil(&page);
    veil.setGeometry(page.geometry());
    VeilBackdrop backdrop;
    backdrop.Attach(&veil, 153, translucent);
    backdrop.Capture(&veil);
    QImage painted(veil.size(), QImage::Format_RGB32);
    QPainter p(&painted);
    backdrop.Paint(p, painted.rect());
    p.end();
    QCOMPARE(QColor(painted.pixel(50, 50)), expected);
    QCOMPARE(veil.windowOpacity() < 1.0, translucent);
  }
  void kindRules_data();
  void kindRules();
  void unknownOrEmptyKindEndsWithCancelAtOnce_data();
  void unknownOrEmptyKindEndsWithCancelAtOnce();
  void registeredContentDecidesThroughTheRule();
  void alarmButtons_data();
  void alarmButtons();
  void netAlarmSkipIsOkRetryIsCancel();
  void errorPageDefaultAndGivenText_data();
  void errorPageDefaultAndGivenText();
  void enterAndEscapeDoNotCloseAPopup();
  void pageDestroyedWhileThePopupIsOpen();
  void waitingClosesOnFirstTickWhenFlagIsZero();
  void waitingClosesAfterMaximumWhenFlagStays();
  void waitingSeesAFlagClearedByAnotherThread();
  void waitingTextByMode_data();
  void waitingTextByMode();
};

void OverlayTest::kindRules_data() {
  QTest::addColumn<int>("kind");
  QTest::addColumn<int>("popupResult");
  QTest::addColumn<int>("veilResult");
  const int ok = QDialog::Accepted, cancel = QDialog::Rejected;
  for (int kind : {2, 3, 5, 12, 13}) {
    QTest::addRow("kind %d passes OK", kind) << kind << ok << ok;
    QTest::addRow("kind %d passes Cancel", kind) << kind << cancel << cancel;
  }
  for (int kind : {4, 6, 7, 8, 9}) QTest::addRow("kind %d is always OK", kind) << kind << cancel << ok;
  QTest::addRow("kind 14 is always Cancel") << 14 << ok << cancel;
}

void OverlayTest::kindRules() {
  QFETCH(int, kind);
  QFETCH(int, popupResult);
  QFETCH(int, veilResult);
  const auto rule = OverlayEndFor(kind);
  QVERIFY(rule.has_value());
  QCOMPARE(VeilResult(*rule, popupResult), veilResult);
}

void OverlayTest::unknownOrEmptyKindEndsWithCancelAtOnce_data() {
  QTest::addColumn<int>("kind");
  QTest::newRow("not in the table") << 11;
  QTest::newRow("negative") << -1;
  QTest::newRow("known kind, no content registered yet") << int(kOverlayAgreement);
}

void OverlayTest::unknownOrEmptyKindEndsWithCancelAtOnce() {
  QFETCH(int, kind);
  QVERIFY(!HasOverlay(kind) || !OverlayEndFor(kind));
  QElapsedTimer clock;
  clock.start();
  QCOMPARE(OpenOverlay(nullptr, kind), int(QDialog::Rejected));
  QVERIFY(clock.elapsed() < 2000);
}

void OverlayTest::registeredContentDecidesThroughTheRule() {
  // The MAC popup ends with OK even when its content says Cancel; the LED help passes its result on.
  RegisterOverlay(kOverlayMac, [](QWidget* veil, const OverlayInputs& in) -> std::unique_ptr<QDialog> {
    return std::make_unique<ScriptedPopup>(veil, !PageInput<QString>(in) ? QDialog::Accepted : QDialog::Rejected);
  });
  RegisterOverlay(kOverlayLed, [](QWidget* veil, const OverlayInputs&) -> std::unique_ptr<QDialog> {
    return std::make_unique<ScriptedPopup>(veil, QDialog::Rejected);
  });
  OverlayInputs in;
  in.page = QStringLiteral("00:11:22:33:44:55");
  QCOMPARE(OpenOverlay(nullptr, kOverlayMac, in), int(QDialog::Accepted));
  QCOMPARE(OpenOverlay(nullptr, kOverlayLed), int(QDialog::Rejected));
}

void OverlayTest::alarmButtons_data() {
  QTest::addColumn<int>("cancelFlag");
  QTest::addColumn<int>("press");  // 1 OK, 2 CANCEL
  QTest::addColumn<int>("veilResult");
  QTest::newRow("OK alone") << 0 << 1 << int(QDialog::Accepted);
  QTest::newRow("OK beside CANCEL") << 1 << 1 << int(QDialog::Accepted);
  QTest::newRow("CANCEL") << 1 << 2 << int(QDialog::Rejected);
}

void OverlayTest::alarmButtons() {
  QFETCH(int, cancelFlag);
  QFETCH(int, press);
  bool cancelShown = false;
  QString title;
  WhenPopupOpens<CAlarmDisplayPage>([&](CAlarmDisplayPage* popup) {
    cancelShown = popup->cancelButton() != nullptr;
    title = popup->title();
    QTest::mouseClick(press == 1 ? popup->okButton() : popup->cancelButton(), Qt::LeftButton);
  });
  OverlayInputs in;
  in.alertType = 1;
  in.cancelFlag = cancelFlag;
  QTEST(OpenOverlay(nullptr, kOverlayAlarm, in), "veilResult");
  QCOMPARE(cancelShown, cancelFlag == 1);
  QCOMPARE(title, QStringLiteral("Important Alert"));
}

void OverlayTest::netAlarmSkipIsOkRetryIsCancel() {
  WhenPopupOpens<CNetAlarmPage>([](CNetAlarmPage* p) { QTest::mouseClick(p->skipButton(), Qt::LeftButton); });
  QCOMPARE(OpenOverlay(nullptr, kOverlayNetAlarm), int(QDialog::Accepted));
  WhenPopupOpens<CNetAlarmPage>([](CNetAlarmPage* p) { QTest::mouseClick(p->retryButton(), Qt::LeftButton); });
  QCOMPARE(OpenOverlay(nullptr, kOverlayNetAlarm), int(QDialog::Rejected));
}

void OverlayTest::errorPageDefaultAndGivenText_data() {
  QTest::addColumn<QString>("given");
  QTest::addColumn<QString>("shown");
  QTest::newRow("empty") << QString() << QStringLiteral("Check Network Failed!");
  QTest::newRow("given") << QStringLiteral("Failed to format HDD!") << QStringLiteral("Failed to format HDD!");
}

void OverlayTest::errorPageDefaultAndGivenText() {
  QFETCH(QString, given);
  QFETCH(QString, shown);
  QString message;
  WhenPopupOpens<CErrorPage>([&](CErrorPage* p) {
    message = p->message();
    QTest::mouseClick(p->closeButton(), Qt::LeftButton);
  });
  OverlayInputs in;
  in.errorText = given;
  QCOMPARE(OpenOverlay(nullptr, kOverlayError, in), int(QDialog::Rejected));
  QCOMPARE(message, shown);
}

void OverlayTest::enterAndEscapeDoNotCloseAPopup() {
  bool stillOpen = false;
  WhenPopupOpens<CErrorPage>([&](CErrorPage* p) {
    QTest::keyClick(p, Qt::Key_Escape);
    QTest::keyClick(p, Qt::Key_Return);
    stillOpen = p->isVisible();
    QTest::keyClick(p->closeButton(), Qt::Key_Space);  // the keyboard still reaches the button
  });
  QCOMPARE(OpenOverlay(nullptr, kOverlayError), int(QDialog::Rejected));
  QVERIFY(stillOpen);
}

void OverlayTest::pageDestroyedWhileThePopupIsOpen() {
  // The host may delete a page while its overlay runs (a posted message handled in the modal loop).
  auto* page = new QWidget;
  page->resize(860, 640);
  page->show();
  QPointer<QWidget> watch(page);
  WhenPopupOpens<CErrorPage>([page](CErrorPage*) { delete page; });
  QCOMPARE(OpenOverlay(page, kOverlayError), int(QDialog::Rejected));
  QVERIFY(!watch);
  QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty() ||
              std::none_of(QApplication::topLevelWidgets().cbegin(), QApplication::topLevelWidgets().cend(),
                           [](QWidget* w) { return w->isVisible(); }));
}

void OverlayTest::waitingClosesOnFirstTickWhenFlagIsZero() {
  std::atomic<int> busy{0};
  CWaitingPage waiting;
  waiting.setMaxTicks(120);
  waiting.setWatchedFlag(&busy);
  QCOMPARE(waiting.exec(), int(QDialog::Accepted));
  QCOMPARE(waiting.ticks(), 0);
  QCOMPARE(waiting.shownText(), QStringLiteral("Waiting"));
}

void OverlayTest::waitingClosesAfterMaximumWhenFlagStays() {
  std::atomic<int> busy{1};
  CWaitingPage waiting;
  waiting.setMaxTicks(5);
  waiting.setWatchedFlag(&busy);
  QCOMPARE(waiting.exec(), int(QDialog::Accepted));
  QCOMPARE(waiting.ticks(), 5);
  QVERIFY(waiting.shownSpinner() >= 0);
}

void OverlayTest::waitingSeesAFlagClearedByAnotherThread() {
  std::atomic<int> busy{1};
  std::thread worker([&busy] {
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    busy.store(0);
  });
  CWaitingPage waiting;
  waiting.setMaxTicks(600);
  waiting.setWatchedFlag(&busy);
  waiting.exec();
  worker.join();
  QVERIFY(waiting.ticks() < 600);
  QVERIFY(waiting.ticks() >= 1);
}

void OverlayTest::waitingTextByMode_data() {
  QTest::addColumn<QString>("given");
  QTest::addColumn<bool>("dots");
  QTest::addColumn<QString>("text");
  QTest::newRow("plain") << QString() << false << QStringLiteral("Waiting");
  QTest::newRow("the page's text") << QStringLiteral("Formatting your HDD...") << false
                                   << QStringLiteral("Formatting your HDD...");
  QTest::newRow("the page's text with dots") << QStringLiteral("Checking your HDD") << true
                                             << QStringLiteral("Checking your HDD");
}

// The line is the page's text (or "Waiting"); growing dots follow it and never move it.
void OverlayTest::waitingTextByMode() {
  QFETCH(QString, given);
  QFETCH(bool, dots);
  std::atomic<int> busy{1};
  CWaitingPage waiting;
  waiting.setText({given, dots});
  waiting.setWatchedFlag(&busy);
  waiting.setMaxTicks(7);
  QTEST(waiting.text(), "text");
  waiting.exec();
  const QString expected = waiting.text() + (dots ? QStringLiteral("..") : QString());  // 2 dots at tick 6
  QCOMPARE(waiting.shownText(), expected);
}

QTEST_MAIN(OverlayTest)
#include "OverlayTest.moc"
