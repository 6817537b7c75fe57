// The frame and the page host with the common page frame: navigation through posted messages, the cloud
// skip rule, restart, unknown page types, dragging, minimising, Enter/Escape and the end of the wizard.
#include <QLineEdit>
#include <QtTest>
#include <atomic>
#include <thread>

#include "app/AboutDlg.h"
#include "app/BriskoDlg.h"
#include "app/InterDialog.h"
#include "ui/ComboBox.h"
#include "app/PageRegistry.h"
#include "ui/Buttons.h"
#include "StandInPages.h"

using namespace vrx;

namespace {

int ShownType(const CInterDialog& host) {
  auto* page = qobject_cast<CStandInPage*>(host.currentPage());
  return page ? page->pageType() : 0;
}

void Post(const CInterDialog& host, int navCode) { QVERIFY(PostMessage(host.handle(), WM_WIZ_NAVIGATE, navCode)); }

void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// A popup opened from a page, with a field that has the focus; it notes the keys its own handler hears.
class KeyRecordingPopup : public QDialog {
 public:
  explicit KeyRecordingPopup(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    field = new QLineEdit(this);
  }
  QLineEdit* field;
  QList<int> heard;

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    heard.append(e->key());
    e->accept();
  }
};

}  // namespace

class HostTest : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    ClearPageRegistry();
    RegisterStandInPages();
  }

  void navigationCodes_data() {
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<int>("pageType");
    QTest::addColumn<int>("shown");
    QTest::newRow("next") << QList<int>{NAV_NEXT, NAV_NEXT} << 3 << 3;
    QTest::newRow("next then back") << QList<int>{NAV_NEXT, NAV_NEXT, NAV_BACK} << 2 << 2;
    QTest::newRow("back on welcome keeps it") << QList<int>{NAV_BACK} << 0 << 1;
    QTest::newRow("back on welcome, then next") << QList<int>{NAV_BACK, NAV_NEXT} << 1 << 1;
    QTest::newRow("restart") << QList<int>{NAV_NEXT, NAV_NEXT, NAV_NEXT, NAV_RESTART} << 1 << 1;
    QTest::newRow("unknown code") << QList<int>{NAV_NEXT, 42} << 2 << 2;
  }
  void navigationCodes() {
    QFETCH(QList<int>, codes);
    QFETCH(int, pageType);
    QFETCH(int, shown);
    CInterDialog host;
    host.show();
    QCOMPARE(ShownType(host), 1);
    for (int code : codes) Post(host, code);
    Settle();
    QCOMPARE(host.pageType(), pageType);
    QCOMPARE(ShownType(host), shown);
    QCOMPARE(host.findChildren<CWizardPage*>().size(), 1);  // the old page is gone
  }

  void cloudSkip_data() {
    QTest::addColumn<QString>("value0");
    QTest::addColumn<QString>("value1");
    QTest::addColumn<int>("shown");
    QTest::newRow("offered, not registered") << "0" << "1" << int(kPageCloudService);
    QTest::newRow("never reported") << QString() << QString() << int(kPageSummary);
    QTest::newRow("registered") << "1" << "1" << int(kPageSummary);
  }
  void cloudSkip() {
    QFETCH(QString, value0);
    QFETCH(QString, value1);
    QFETCH(int, shown);
    CInterDialog host;
    host.show();
    host.SetCloudValue(steps::kCloudStatus, value0);
    host.SetCloudValue(steps::kCloudAccess, value1);
    for (int i = 0; i < 10; ++i) Post(host, NAV_NEXT);  // page type 1 + 10 = 11
    Settle();
    QCOMPARE(host.pageType(), int(kPageCloudService));
    QCOMPARE(ShownType(host), shown);
  }

  // Restart goes home but forgets nothing: the user overwrites the values going forward again.
  void restartKeepsTheRecord() {
    CInterDialog host;
    host.show();
    host.SetRecorderIp("127.0.0.9");
    host.SetAdminUser("admin");
    host.SetAdminPassword(net::Secret("secret1"));
    host.SetCloudAccount("a@b.c", net::Secret("pw"));
    host.SetCloudValue(1, "1");
    host.state().cameras.push_back(std::make_unique<steps::CameraRecord>());
    for (int i = 0; i < 6; ++i) Post(host, NAV_NEXT);
    Post(host, NAV_RESTART);
    Settle();
    QCOMPARE(ShownType(host), 1);
    QCOMPARE(host.GetRecorderIp(), QString("127.0.0.9"));
    QVERIFY(host.AdminPassword().View() == "secret1");
    QCOMPARE(host.GetCloudEmail(), QString("a@b.c"));
    QCOMPARE(host.CloudValue(1), QString("1"));
    QCOMPARE(host.GetCameraCount(), 1);
    QVERIFY(host.GetCamera(0) != nullptr);
    QVERIFY(host.GetCamera(1) == nullptr);
    QVERIFY(host.GetCamera(-1) == nullptr);
  }

  void unknownPageTypeChangesNothing() {
    ClearPageRegistry();
    RegisterPage(kPageHome, [](CInterDialog& h) { return new CStandInPage(h, kPageHome); });
    CInterDialog host;
    host.show();
    QWidget* welcome = host.currentPage();
    QVERIFY(welcome);
    for (int type : {0, -1, 13, 2 /* no page registered */}) {
      host.ShowPage(type);
      QCOMPARE(host.currentPage(), welcome);
      QVERIFY(welcome->isVisible());
    }
  }

  // The welcome page built during the frame's pause is the one the host shows (hidden until then); a
  // prepared page that is not the one asked for goes.
  void preparedPageIsShownOnlyForItsType() {
    CInterDialog host;
    host.PreparePage(kPageHome);
    auto* prepared = host.findChild<CStandInPage*>();
    QVERIFY(prepared);
    host.show();
    QCOMPARE(host.currentPage(), prepared);
    QVERIFY(prepared->isVisible());
    QCOMPARE(host.findChildren<CWizardPage*>().size(), 1);

    CInterDialog other;
    other.PreparePage(3);
    QPointer<QWidget> wrong = other.findChild<CStandInPage*>();
    QVERIFY(wrong && !wrong->isVisible());
    other.show();
    Settle();
    QCOMPARE(ShownType(other), 1);
    QVERIFY(wrong.isNull());
  }

  // The window icon comes after the first paint, decoded off the UI thread, with all its sizes.
  void windowIconArrivesWithEverySize() {
    CBriskoDlg frame(false);
    QVERIFY(frame.windowIcon().availableSizes().isEmpty());
    frame.SetIcon();
    QTRY_COMPARE(frame.windowIcon().availableSizes().size(), 4);
  }

  void cloudValueFiveIsNotKept() {
    CInterDialog host;
    host.SetCloudValue(5, "x");
    host.SetCloudValue(6, "link");
    QCOMPARE(host.CloudValue(5), QString());
    QCOMPARE(host.CloudValue(6), QString("link"));
  }

  // A worker still holding the handle of a page that navigation destroyed: its posts are refused.
  void postToDestroyedPageIsDropped() {
    CInterDialog host;
    host.show();
    auto* page = qobject_cast<CWizardPage*>(host.currentPage());
    QVERIFY(page);
    const WindowHandle pageHandle = page->handle();
    QPointer<QWidget> watch(page);
    Post(host, NAV_NEXT);
    Settle();
    QVERIFY(watch.isNull());
    std::atomic<bool> accepted{true};
    std::thread worker([&] { accepted = PostMessage(pageHandle, WM_WIZ_LINK, 2); });
    worker.join();
    QVERIFY(!accepted);
    Settle();
    QCOMPARE(ShownType(host), 2);
  }

  // Dragging a page moves the host by the cursor's movement and the frame stays 7 px up and left of it.
  void dragMovesHostAndFrameTogether() {
    CBriskoDlg frame(false);
    frame.show();
    CInterDialog& host = *frame.host();
    host.SetOrigin(frame.pos() + QPoint(7, 7));
    host.show();
    Settle();
    QWidget* page = host.currentPage();
    QVERIFY(page);
    const QPoint start = host.pos();

    auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons) {
      QMouseEvent e(type, QPointF(page->mapFromGlobal(global)), QPointF(global), button, buttons, Qt::NoModifier);
      QApplication::sendEvent(page, &e);
    };
    send(QEvent::MouseButtonPress, start + QPoint(300, 200), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, start + QPoint(330, 215), Qt::NoButton, Qt::LeftButton);
    Settle();
    send(QEvent::MouseMove, start + QPoint(325, 255), Qt::NoButton, Qt::LeftButton);
    Settle();
    send(QEvent::MouseButtonRelease, start + QPoint(325, 255), Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseMove, start + QPoint(400, 400), Qt::NoButton, Qt::NoButton);  // released: no drag
    Settle();
    QCOMPARE(host.pos(), start + QPoint(25, 55));
    QCOMPARE(frame.pos(), host.pos() - QPoint(7, 7));
    QCOMPARE(host.size(), QSize(860, 640));
    QCOMPARE(frame.size(), QSize(874, 654));
  }

  void minimiseButtonMinimisesTheFrame() {
    CBriskoDlg frame(false);
    frame.show();
    CInterDialog& host = *frame.host();
    host.show();
    auto* page = qobject_cast<CWizardPage*>(host.currentPage());
    page->button(CWizardPage::kCmdMinimize)->click();
    QTRY_VERIFY(frame.windowState() & Qt::WindowMinimized);
    QVERIFY(host.windowState() & Qt::WindowMinimized);
    frame.setWindowState(Qt::WindowNoState);
    QTRY_VERIFY(!(host.windowState() & Qt::WindowMinimized));
  }

  void enterAndEscapeDoNothing() {
    CBriskoDlg frame(false);
    frame.show();
    CInterDialog& host = *frame.host();
    host.show();
    Post(host, NAV_NEXT);
    Settle();
    auto* page = qobject_cast<CWizardPage*>(host.currentPage());
    QWidget* targets[] = {&frame, &host, page, page->nextButton()};
    for (QWidget* target : targets) {
      for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(target, key);
        QTest::keyClick(target, key, Qt::AltModifier);
      }
    }
    Settle();
    QVERIFY(frame.isVisible());
    QVERIFY(host.isVisible());
    QCOMPARE(host.pageType(), int(kPageRequirement));
    QCOMPARE(ShownType(host), 2);

    // An open drop-down list (a window of its own, opened from the page) takes its own keys: Enter chooses
    // nothing, Escape closes it, and the choice stays.
    auto* list = new ui::CAvrelComboBox(page);
    list->setItems({"English", "Español"});
    list->setCurrentIndex(1);
    list->setGeometry(552, 290, 188, 32);
    list->show();
    list->OpenDropDown();
    QPointer<ui::CComboBoxList> dropDown = list->dropDown();
    QVERIFY(dropDown);
    QTRY_VERIFY(dropDown->isVisible());
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) QTest::keyClick(dropDown, key);
    Settle();
    QVERIFY(dropDown && dropDown->isVisible());
    QTest::keyClick(dropDown, Qt::Key_Escape);
    Settle();
    QVERIFY(!dropDown || !dropDown->isVisible());
    QCOMPARE(list->currentIndex(), 1);
    QCOMPARE(host.pageType(), int(kPageRequirement));
  }

  // A dialog or a menu opened from the wizard handles Enter and Escape itself: the key typed in a popup's
  // field reaches the popup's handler (the camera password popups send on Enter), and the context menu
  // closes with Escape. The pages behind them still do nothing.
  void popupsAndMenusTakeTheirOwnKeys() {
    CBriskoDlg frame(false);
    frame.show();
    CInterDialog& host = *frame.host();
    host.show();
    Settle();
    QWidget* page = host.currentPage();

    KeyRecordingPopup popup(page);
    popup.show();
    popup.field->setFocus();
    const QList<int> keys{Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape};
    for (int key : keys) QTest::keyClick(popup.field, Qt::Key(key));
    QCOMPARE(popup.heard, keys);
    popup.close();

    bool escapeClosedIt = false;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, this, [&] {
      QWidget* menu = QApplication::activePopupWidget();
      if (!menu) return;
      poll.stop();
      QTest::keyClick(menu, Qt::Key_Escape);
      escapeClosedIt = !menu->isVisible();
      if (!escapeClosedIt) menu->close();  // the menu must not outlive the test
    });
    poll.start();
    ShowAboutMenu(&host, host.mapToGlobal(QPoint(100, 100)));
    QVERIFY(escapeClosedIt);
    QVERIFY(host.isVisible());
    QCOMPARE(ShownType(host), 1);
  }

  // The host runs modally 7 px inside the frame; NAV_CLOSE (like the host's OK) ends both modal loops.
  void closeEndsHostAndFrame() {
    CBriskoDlg frame(false);
    frame.move(40, 30);
    frame.show();
    CInterDialog& host = *frame.host();
    QPoint hostPos;
    QTimer::singleShot(0, &host, [&] {
      hostPos = host.pos();
      auto* page = qobject_cast<CWizardPage*>(host.currentPage());
      page->button(CWizardPage::kCmdClose)->click();
    });
    frame.StartHost();
    QCOMPARE(hostPos, frame.pos() + QPoint(7, 7));
    QVERIFY(!host.isVisible());
    QCOMPARE(frame.result(), int(QDialog::Accepted));
    QVERIFY(!frame.isVisible());
  }

  void finishFromSummaryEndsTheWizard() {
    CInterDialog host;
    host.show();
    host.ShowPage(kPageSummary);
    auto* page = qobject_cast<CWizardPage*>(host.currentPage());
    QVERIFY(page);
    page->button(1026)->click();
    QTRY_VERIFY(!host.isVisible());
    QCOMPARE(host.result(), int(QDialog::Accepted));
  }
};

QTEST_MAIN(HostTest)
#include "HostTest.moc"
