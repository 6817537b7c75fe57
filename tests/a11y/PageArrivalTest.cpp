// What a reader meets as the wizard's pages arrive and as its shared controls are used, checked in-process:
// a page arriving speaks its title and instruction before its first control takes the focus; the title-bar
// close mark says what it does; a combo box's value is its text; a drop-down drawn inside a page gets Escape
// while Enter and Escape stay swallowed everywhere else.
#include <QAccessible>
#include <QKeyEvent>
#include <QtTest>

#include "AccessibleTree.h"
#include "WizardTestSupport.h"
#include "app/InterDialog.h"
#include "app/KeyFilter.h"
#include "app/PageRegistry.h"
#include "pages/intro/IntroPages.h"
#include "ui/Accessible.h"
#include "ui/Buttons.h"
#include "ui/ComboBox.h"
#include "ui/PageFocus.h"
#include "ui/SkinBase.h"

using namespace vrx;

namespace {

QString ValueAsText(QWidget* w) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
  QAccessibleTextInterface* text = iface ? iface->textInterface() : nullptr;
  return text ? text->text(0, text->characterCount()) : QStringLiteral("<no text interface>");
}

// Counts the key presses that reach it.
class KeyCounter : public QWidget {
 public:
  using QWidget::QWidget;
  int presses = 0;

 protected:
  void keyPressEvent(QKeyEvent*) override { ++presses; }
};

}  // namespace

class PageArrivalTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { test::ActivateAccessibility(); }
  void init() {
    ClearPageRegistry();
    RegisterIntroPages();
  }
  void cleanup() { test::UseLanguage(0); }

  // Pages 1 to 5 in English and in Simplified Chinese: what the window says as each arrives, its name and
  // description, and where the focus is afterwards.
  void arrivalIsSpokenBeforeTheFirstControl_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("pageType");
    QTest::addColumn<QString>("spoken");
    QTest::addColumn<QString>("focused");
    const QString welcome = "Welcome to the Halvik NVR (VRX-410Q) Setup Wizard.";
    QTest::newRow("welcome") << 0 << int(kPageHome) << welcome << "Select your Language:";
    QTest::newRow("requirements") << 0 << int(kPageRequirement)
                                  << "Requirements. You will need a router with one free Ethernet port" << "NEXT";
    QTest::newRow("power") << 0 << int(kPageIntroduction1)
                           << "Connect your device. Connect your VRX-410Q power adapter to a power outlet." << "NEXT";
    QTest::newRow("network") << 0 << int(kPageIntroduction2)
                             << "Connect your device. Connect your ethernet cable" << "NEXT";
    QTest::newRow("led") << 0 << int(kPageIntroduction3)
                         << "Connect your device. After the LED on the top of the VRX-410Q turns blue, click Next."
                         << "What should I do if the LED light stays red ?";
    QTest::newRow("requirements zh_CN") << 5 << int(kPageRequirement) << "" << "";
  }
  void arrivalIsSpokenBeforeTheFirstControl() {
    QFETCH(int, language);
    QFETCH(int, pageType);
    QFETCH(QString, spoken);
    QFETCH(QString, focused);
    test::UseLanguage(language);
    CInterDialog host;
    host.show();
    QVERIFY(QTest::qWaitForWindowActive(&host));  // a page arriving in an active window is spoken
    host.ShowPage(pageType);
    QWidget* page = host.currentPage();
    QVERIFY(page);
    const QString said = ui::LastSpoken(&host);
    const QString title = ui::PageTitle(page);
    const QString instruction = ui::PageInstruction(page);
    QVERIFY2(!instruction.isEmpty(), "the page has no instruction");
    if (!spoken.isEmpty()) QVERIFY2(said.startsWith(spoken), qPrintable(said));
    // The title first, then the instruction, one sentence each; the window is named after the page.
    QVERIFY2(said.endsWith(instruction.simplified()) || said.endsWith(instruction.simplified() + "."), qPrintable(said));
    if (!title.isEmpty()) QVERIFY2(said.startsWith(title), qPrintable(said));
    QCOMPARE(host.accessibleName(), title.isEmpty() ? host.windowTitle() : title);
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus && page->isAncestorOf(focus));
    if (!focused.isEmpty()) QCOMPARE(focus->accessibleName(), focused);
    // Never Close or Minimise first.
    QVERIFY(focus != static_cast<CWizardPage*>(page)->button(CWizardPage::kCmdClose));
  }

  // The title-bar close mark is named for what it does, in every language; it stays a button that closes.
  void closeMarkSaysItClosesTheWizard_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("name");
    QTest::newRow("en") << 0 << "Close the wizard";
    QTest::newRow("es") << 3 << "Cerrar el asistente";
    QTest::newRow("zh_TW") << 4 << "關閉設定精靈";
  }
  void closeMarkSaysItClosesTheWizard() {
    QFETCH(int, language);
    QFETCH(QString, name);
    test::UseLanguage(language);
    CInterDialog host;
    host.show();
    host.ShowPage(kPageRequirement);
    auto* page = static_cast<CWizardPage*>(host.currentPage());
    QAccessibleInterface* close = QAccessible::queryAccessibleInterface(page->button(CWizardPage::kCmdClose));
    QCOMPARE(close->text(QAccessible::Name), name);
    QCOMPARE(close->role(), QAccessible::Button);
  }

  // A reader takes a closed combo box's value from its text: the language box says its language, and the
  // new one after a choice.
  void comboValueIsItsText() {
    ui::CAvrelComboBox box;
    box.setItems({"English", "Español"});
    QCOMPARE(ValueAsText(&box), QString("English"));
    QCOMPARE(QAccessible::queryAccessibleInterface(&box)->text(QAccessible::Value), QString("English"));
    box.setCurrentIndex(1);
    QCOMPARE(ValueAsText(&box), QString("Español"));
  }

  // Escape reaches a drop-down drawn inside a guarded window while it has the focus; Enter does not, and
  // neither key reaches any other widget of the window.
  void escapeReachesOnlyAnOpenInPageList() {
    QWidget window;
    EnterEscapeFilter keys;
    keys.Guard(&window);
    auto* list = new KeyCounter(&window);
    auto* other = new KeyCounter(&window);
    list->setProperty(ui::kClosesOnEscapeProperty, true);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(list, Qt::Key_Escape);
    QTest::keyClick(list, Qt::Key_Return);
    QTest::keyClick(other, Qt::Key_Escape);
    QTest::keyClick(other, Qt::Key_Enter);
    QCOMPARE(list->presses, 1);
    QCOMPARE(other->presses, 0);
    list->hide();  // a closed list gets nothing
    QTest::keyClick(list, Qt::Key_Escape);
    QCOMPARE(list->presses, 1);
  }
};

QTEST_MAIN(PageArrivalTest)
#include "PageArrivalTest.moc"
