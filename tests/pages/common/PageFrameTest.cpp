// The common page frame: where its buttons sit, and its hooks (StopWork before navigation, WM_WIZ_LINK to
// OpenOverlay, private messages to OnMessage), including navigation posted from a page's own modal loop.
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <thread>

#include "app/InterDialog.h"
#include "app/PageRegistry.h"
#include "pages/common/FrameLayout.h"
#include "ui/Buttons.h"
#include "ui/Labels.h"
#include "StandInPages.h"

using namespace vrx;

namespace {

constexpr unsigned kPrivateMsg = WM_NVR_SEARCH_RESULTS;  // any page-private number will do

struct Journal {
  QStringList events;
  bool aliveAfterOverlay = false;
};
Journal journal;

// A page with a worker thread that keeps posting to it, as the real pages' threads do.
class WorkerPage : public CWizardPage {
 public:
  explicit WorkerPage(CInterDialog& host) : CWizardPage(host, PageFrame{3001, true, true, 5}) {
    running_ = true;
    worker_ = std::thread([this, h = handle()] {
      while (running_) {
        PostMessage(h, kPrivateMsg, 7);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
    });
  }
  ~WorkerPage() override { StopWork(); }
  using CWizardPage::OnCommand;

 protected:
  void StopWork() override {
    if (!worker_.joinable()) return;
    journal.events << "stop";
    running_ = false;
    worker_.join();
  }
  void OnMessage(unsigned msg, WPARAM w, LPARAM) override {
    if (msg == kPrivateMsg && w == 7 && !journal.events.contains("private")) journal.events << "private";
  }
  // Stands in for a modal overlay that ends with OK and posts NAV_RESTART on its way out.
  void OpenOverlay(int kind) override {
    journal.events << QString("overlay %1").arg(kind);
    QPointer<CWizardPage> self(this);
    QDialog overlay(this);
    QTimer::singleShot(0, &overlay, [&] {
      Navigate(NAV_RESTART);
      QCoreApplication::processEvents();  // the host handles it inside this nested loop
      overlay.accept();
    });
    overlay.exec();
    journal.aliveAfterOverlay = !self.isNull();
  }

 private:
  std::atomic<bool> running_{false};
  std::thread worker_;
};

}  // namespace

class PageFrameTest : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    journal = {};
    ClearPageRegistry();
    RegisterStandInPages();
    RegisterPage(kPageIntroduction3, [](CInterDialog& h) { return new WorkerPage(h); });
  }

  void frameButtonsSitWhereTheLayoutSays() {
    CInterDialog host;
    host.show();
    host.ShowPage(kPageRequirement);
    auto* page = qobject_cast<CWizardPage*>(host.currentPage());
    QVERIFY(page);
    QCOMPARE(page->geometry(), QRect(0, 0, 860, 640));
    QCOMPARE(page->button(CWizardPage::kCmdClose)->geometry(), QRect(823, 0, 37, 29));
    QCOMPARE(page->button(CWizardPage::kCmdMinimize)->geometry(), QRect(786, 0, 37, 29));
    ui::CAvrelButton4* next = page->nextButton();
    ui::CAvrelButton4* back = page->backButton();
    QCOMPARE(next->text(), QString("Next   >"));
    QCOMPARE(back->text(), QString("<   Back"));
    QVERIFY(next->MeasureText() > 40);
    // A pair: both as wide as the wider caption plus 40.
    const int pairWidth = std::max(next->MeasureText(), back->MeasureText()) + 40;
    QCOMPARE(next->geometry(), QRect(448, 536, pairWidth, 43));
    QCOMPARE(back->geometry().left() + back->width(), 410);
    QCOMPARE(back->geometry().top(), 536);
    QCOMPARE(back->width(), pairWidth);
    QCOMPARE(page->step(), 1);
    QCOMPARE(page->indicator()->current(), 1);
    QCOMPARE(page->indicator()->total(), 11);
    QCOMPARE(page->versionLabel()->text(), QString("V 2.03.00"));

    host.ShowPage(kPageHome);
    page = qobject_cast<CWizardPage*>(host.currentPage());
    QVERIFY(!page->nextButton() && !page->backButton());
    QCOMPARE(page->button(1001)->geometry(), QRect(366, 380, 416, 42));
  }

  // Next stops the page's thread before the host gets the request; the host then replaces the page.
  void pageStopsItsWorkBeforeNavigating() {
    CInterDialog host;
    host.show();
    host.ShowPage(kPageIntroduction3);
    auto* page = static_cast<WorkerPage*>(host.currentPage());
    QTRY_VERIFY(journal.events.contains("private"));
    QPointer<QWidget> watch(page);
    page->OnCommand(CWizardPage::kCmdMinimize);  // minimising leaves the work running
    QVERIFY(!journal.events.contains("stop"));
    page->OnCommand(CWizardPage::kCmdNext);
    QCOMPARE(journal.events.last(), QString("stop"));
    QTRY_VERIFY(watch.isNull());
  }

  // A navigation posted from inside the page's own modal loop must not free the page under its feet.
  void navigationFromThePagesModalLoop() {
    CInterDialog host;
    host.show();
    host.ShowPage(kPageIntroduction3);
    auto* page = static_cast<WorkerPage*>(host.currentPage());
    QPointer<QWidget> watch(page);
    QVERIFY(PostMessage(page->handle(), WM_WIZ_LINK, 2));
    QTRY_VERIFY(journal.events.contains("overlay 2"));
    QTRY_VERIFY(watch.isNull());
    QVERIFY(journal.aliveAfterOverlay);
    QCOMPARE(host.pageType(), int(kPageHome));
    QCOMPARE(qobject_cast<CStandInPage*>(host.currentPage())->pageType(), int(kPageHome));
  }
};

QTEST_MAIN(PageFrameTest)
#include "PageFrameTest.moc"
