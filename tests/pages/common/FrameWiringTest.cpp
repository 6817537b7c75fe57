// The common frame's wiring: a click reaches OnCommand exactly once, however often WireControls runs (a
// doubled Next skips a page), controls post to the page's port, Tab goes through the page's controls before the frame's buttons, and the East Asian line breaking follows the language.
#include <QtTest>

#include "app/InterDialog.h"
#include "app/PageRegistry.h"
#include "pages/common/ScaffoldPages.h"
#include "pages/common/WizardPage.h"
#include "ui/Buttons.h"
#include "ui/Labels.h"
#include "ui/Links.h"

using namespace vrx;

namespace {

constexpr int kOwnButton = 1500;

class CountingPage : public CWizardPage {
 public:
  explicit CountingPage(CInterDialog& host) : CWizardPage(host, PageFrame{3001, true, true, 3}) {
    AddButton(kOwnButton, "Own", QRect(100, 300, 118, 43), 3045, 3042, 3044, 3043);
    link = new ui::CLinkStatic(this);
    link->setText("link");
    link->setLinkKind(42);
    link->setGeometry(100, 400, 200, 20);
    rich = new ui::CBaseStatic(this);
    WireControls();
    WireControls();  // again, as showing the page does
  }
  QList<int> commands;
  QList<int> overlays;
  ui::CLinkStatic* link;
  ui::CBaseStatic* rich;

 protected:
  void OnCommand(int id) override {
    commands << id;
    CWizardPage::OnCommand(id);
  }
  void OpenOverlay(int kind) override { overlays << kind; }
};

}  // namespace

class FrameWiringTest : public QObject {
  Q_OBJECT
 private slots:
  void eachClickArrivesOnce() {
    ClearPageRegistry();
    RegisterScaffoldPages();
    RegisterPage(kPageIntroduction1, [](CInterDialog& h) { return new CountingPage(h); });
    CInterDialog host;
    host.show();
    PostMessage(host.handle(), WM_WIZ_NAVIGATE, NAV_NEXT);
    PostMessage(host.handle(), WM_WIZ_NAVIGATE, NAV_NEXT);
    QTRY_COMPARE(host.pageType(), int(kPageIntroduction1));
    auto* page = static_cast<CountingPage*>(host.currentPage());
    page->button(kOwnButton)->click();
    page->button(CWizardPage::kCmdMinimize)->click();
    QCOMPARE(page->commands, (QList<int>{kOwnButton, CWizardPage::kCmdMinimize}));

    QTest::mouseClick(page->link, Qt::LeftButton, {}, page->link->TextRect().center().toPoint());
    QTRY_COMPARE(page->overlays, QList<int>{42});  // the link found the page's port

    page->nextButton()->click();
    QTRY_COMPARE(host.pageType(), int(kPageIntroduction2));  // one page on, not two
    QCoreApplication::processEvents();
    QCOMPARE(host.pageType(), int(kPageIntroduction2));
  }

  void tabReachesThePageThenTheFrame() {
    ClearPageRegistry();
    RegisterScaffoldPages();
    CInterDialog host;
    host.show();
    auto* page = new CountingPage(host);
    page->show();
    QWidget* own = page->button(kOwnButton);
    const QList<QWidget*> expected{page->link, page->backButton(), page->nextButton(),
                                   page->button(CWizardPage::kCmdMinimize), page->button(CWizardPage::kCmdClose)};
    for (QWidget* w = own; QWidget* want : expected) {
      w = w->nextInFocusChain();
      while (!(w->focusPolicy() & Qt::TabFocus)) w = w->nextInFocusChain();
      QCOMPARE(w, want);
    }
  }

  void eastAsianBreakingFollowsTheLanguage() {
    QWidget root;
    auto* a = new ui::CBaseStatic(&root);
    auto* nested = new ui::CBaseStatic(new QWidget(&root));
    const QList<QPair<int, bool>> cases{{0, false}, {1, false}, {2, false}, {3, false},
                                        {4, true},  {5, true},  {6, false}, {-1, false}};
    for (const auto& [language, on] : cases) {
      ApplyLineBreaking(&root, language);
      QCOMPARE(a->eastAsianBreaking(), on);
      QCOMPARE(nested->eastAsianBreaking(), on);
    }
  }
};

QTEST_MAIN(FrameWiringTest)
#include "FrameWiringTest.moc"
