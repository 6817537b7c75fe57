// The welcome pages in the host: switching the language at once and keeping it, the Back road to the welcome
// page, the LED help (closing it leaves page 5, finishing the reset help restarts the wizard), the reset
// button's sizes in two languages, the licence text's order and formats, and the frame on the real pages.
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>
#include <functional>

#include "app/InterDialog.h"
#include "app/PageRegistry.h"
#include "i18n/LangString.h"
#include "StandInPages.h"
#include "pages/intro/IntroLayout.h"
#include "pages/intro/IntroOverlays.h"
#include "pages/intro/IntroPages.h"
#include "ui/Buttons.h"
#include "ui/ComboBox.h"
#include "ui/Labels.h"
#include "ui/Links.h"
#include "ui/Palette.h"
#include "PopupWatch.h"
#include "WizardTestSupport.h"

using namespace vrx;

namespace {

void SetLanguage(int index) {
  currentLanguage = index;
  LoadLanguageFile(index);
}

void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

using vrx::test::GoTo;

using vrx::test::VisiblePopup;
using vrx::test::WhenShown;

void ClickLink(ui::CLinkStatic* link) {
  QTest::mouseClick(link, Qt::LeftButton, {}, link->TextRect().center().toPoint());
}

// Chooses a row of the welcome page's language list the way a user does: open the drop-down, click the row.
void ChooseInList(ui::CAvrelComboBox* list, int row) {
  list->OpenDropDown();
  ui::CComboBoxList* dropDown = list->dropDown();
  QVERIFY(dropDown);
  for (int i = 0; i < 6 && !dropDown->rowRect(row).isValid(); ++i) dropDown->ScrollDown();
  QTest::mouseClick(dropDown, Qt::LeftButton, {}, dropDown->rowRect(row).center());
}

}  // namespace

class IntroPagesTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    ClearPageRegistry();
    RegisterStandInPages();
    RegisterIntroPages();
  }
  void init() { SetLanguage(0); }
  void cleanup() { SetLanguage(0); }

  void welcomePageShowsTheSixLanguagesAndTheCurrentOne() {
    SetLanguage(4);
    CInterDialog host;
    host.show();
    auto* home = qobject_cast<CHomeDlg*>(host.currentPage());
    QVERIFY(home);
    const QStringList expected{"English", "Português", "Pycc\u043A\u0438\u0439", "Español", "繁體中文", "简体中文"};
    QCOMPARE(home->languageList()->count(), 6);
    for (int i = 0; i < 6; ++i) QCOMPARE(home->languageList()->itemText(i), expected[i]);
    QCOMPARE(home->languageList()->currentIndex(), 4);
    QCOMPARE(home->languageList()->geometry(), QRect(552, 290, 188, 32));
    QCOMPARE(home->startButton()->geometry(), QRect(366, 380, 416, 42));
    QVERIFY(!home->nextButton() && !home->backButton() && !home->indicator());
    QCOMPARE(home->startButton()->text(), QString("開始"));

    currentLanguage = 9;  // out of range behaves as English
    host.ShowPage(kPageHome);
    QCOMPARE(qobject_cast<CHomeDlg*>(host.currentPage())->languageList()->currentIndex(), 0);
  }

  // Español changes every text of the page at once (START included) and the later pages; Back shows the
  // welcome page with Español selected; English restores everything.
  void choosingALanguageSwitchesEveryTextAtOnce() {
    CInterDialog host;
    host.show();
    auto* home = qobject_cast<CHomeDlg*>(host.currentPage());
    QVERIFY(home);
    ChooseInList(home->languageList(), 3);
    QTRY_COMPARE(int(currentLanguage), 3);
    QCOMPARE(host.currentPage(), home);  // the same page, re-laid
    QVERIFY(home->welcomeText()->text().startsWith("Bienvenido al asistente"));
    QCOMPARE(home->languageCaption()->text(), QString("Seleccione su idioma:"));
    QVERIFY(home->noteBox()->text().startsWith("asegúrese de que las cámaras"));
    QCOMPARE(home->startButton()->text(), QString("INICIAR"));
    QVERIFY(!home->welcomeText()->eastAsianBreaking());

    home->startButton()->click();
    QTRY_COMPARE(host.pageType(), int(kPageRequirement));
    auto* requirements = qobject_cast<CRequirementDlg*>(host.currentPage());
    QVERIFY(requirements);
    QCOMPARE(requirements->title()->text(), QString("Requisitos"));
    QCOMPARE(requirements->nextButton()->text(), QString("SIGUIENTE   >"));
    QCOMPARE(requirements->backButton()->text(), QString("<   ATRÁS"));
    // The pair takes the wider caption (here Next's) plus 40, Back too.
    QCOMPARE(requirements->nextButton()->width(), requirements->nextButton()->MeasureText() + 40);
    QCOMPARE(requirements->backButton()->width(), requirements->nextButton()->width());

    requirements->backButton()->click();
    QTRY_COMPARE(host.pageType(), int(kPageHome));
    home = qobject_cast<CHomeDlg*>(host.currentPage());
    QVERIFY(home);
    QCOMPARE(home->languageList()->currentIndex(), 3);
    QCOMPARE(home->startButton()->text(), QString("INICIAR"));

    ChooseInList(home->languageList(), 0);
    QTRY_COMPARE(int(currentLanguage), 0);
    QCOMPARE(home->startButton()->text(), QString("START"));
    QCOMPARE(home->languageCaption()->text(), QString("Select your Language:"));
    QCOMPARE(home->noteBox()->text(), QString("Ensure that cameras have been installed on the network before "
                                              "initiating the VRX-410Q Setup wizard."));
  }

  void chineseTurnsOnEastAsianLineBreaking_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("eastAsian");
    QTest::newRow("Traditional Chinese") << 4 << true;
    QTest::newRow("Simplified Chinese") << 5 << true;
    QTest::newRow("Russian") << 2 << false;
  }
  void chineseTurnsOnEastAsianLineBreaking() {
    QFETCH(int, language);
    QFETCH(bool, eastAsian);
    CInterDialog host;
    host.show();
    auto* home = qobject_cast<CHomeDlg*>(host.currentPage());
    ChooseInList(home->languageList(), language);
    QTRY_COMPARE(int(currentLanguage), language);
    QCOMPARE(home->welcomeText()->eastAsianBreaking(), eastAsian);
    QCOMPARE(home->noteBox()->eastAsianBreaking(), eastAsian);
    ChooseInList(home->languageList(), 0);  // and back out of it
    QTRY_COMPARE(int(currentLanguage), 0);
    QVERIFY(!home->welcomeText()->eastAsianBreaking());

    SetLanguage(language);
    GoTo(host, kPageIntroduction1);
    auto* power = qobject_cast<CIntroduction1Dlg*>(host.currentPage());
    QVERIFY(power);
    QCOMPARE(power->body()->eastAsianBreaking(), eastAsian);
  }

  void cablingPagesCarryTheirStepAndTexts_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("body");
    QTest::newRow("requirements") << 2 << "Requirements" << "You will need a router";
    QTest::newRow("power") << 3 << "Connect your device" << "Connect your VRX-410Q power adapter";
    QTest::newRow("network") << 4 << "Connect your device" << "Connect your ethernet cable";
    QTest::newRow("LED") << 5 << "Connect your device" << "After the LED on the top";
  }
  void cablingPagesCarryTheirStepAndTexts() {
    QFETCH(int, type);
    QFETCH(QString, title);
    QFETCH(QString, body);
    CInterDialog host;
    host.show();
    GoTo(host, type);
    auto* page = qobject_cast<CInstructionPage*>(host.currentPage());
    QVERIFY(page);
    QCOMPARE(page->title()->text(), title);
    QVERIFY(page->body()->text().startsWith(body));
    QCOMPARE(page->indicator()->current(), type - 1);
    QCOMPARE(page->indicator()->total(), 11);
    page->nextButton()->click();
    QTRY_COMPARE(host.pageType(), type + 1);
  }

  // Closing the LED help by its icon: page 5 stays, the same page, with nothing posted.
  void closingTheLedHelpLeavesPageFive() {
    CInterDialog host;
    host.show();
    GoTo(host, kPageIntroduction3);
    auto* page = qobject_cast<CIntroduction3Dlg*>(host.currentPage());
    QVERIFY(page);
    QPointer<QWidget> watch(page);
    bool closed = false;
    WhenShown<CLEDRedPage>([&](CLEDRedPage* help) {
      closed = true;
      help->closeButton()->click();
    });
    ClickLink(page->helpLink());
    QTRY_VERIFY(closed);
    QTRY_VERIFY(!VisiblePopup<CLEDRedPage>());
    Settle();
    QVERIFY(!watch.isNull());
    QCOMPARE(host.currentPage(), page);
    QCOMPARE(host.pageType(), int(kPageIntroduction3));
  }

  // LED help -> reset help: closing the reset help keeps the LED help open; its reset button ends both with
  // OK and the wizard restarts on the welcome page, language kept. The icon opens the same help as the text.
  void finishingTheResetHelpRestartsWithTheLanguageKept() {
    SetLanguage(3);
    CInterDialog host;
    host.show();
    GoTo(host, kPageIntroduction3);
    auto* page = qobject_cast<CIntroduction3Dlg*>(host.currentPage());
    QVERIFY(page);
    QStringList journal;
    WhenShown<CLEDRedPage>([&](CLEDRedPage* help) {
      journal << "led";
      WhenShown<CResetPage>([&, help](CResetPage* reset) {
        journal << "reset";
        QCOMPARE(reset->pos(), help->pos());  // placed at the LED help's origin
        reset->closeButton()->click();        // back to the LED help, which stays
        WhenShown<CResetPage>([&](CResetPage* again) {
          journal << (VisiblePopup<CLEDRedPage>() ? "led still open" : "led gone");
          again->resetButton()->click();
        });
        ClickLink(help->resetLink());
      });
      ClickLink(help->resetLink());
    });
    page->helpIcon()->click();
    QTRY_COMPARE(host.pageType(), int(kPageHome));
    QCOMPARE(journal, (QStringList{"led", "reset", "led still open"}));
    auto* home = qobject_cast<CHomeDlg*>(host.currentPage());
    QVERIFY(home);
    QCOMPARE(home->languageList()->currentIndex(), 3);
    QCOMPARE(home->startButton()->text(), QString("INICIAR"));
    QTRY_VERIFY(!VisiblePopup<CLEDRedPage>() && !VisiblePopup<CResetPage>());
  }

  void resetButtonSizesToItsLabel_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("wide");
    QTest::newRow("English RESET") << 0 << false;
    QTest::newRow("Spanish RESTABLECER") << 3 << true;
    QTest::newRow("Portuguese REDEFINIR") << 1 << false;
  }
  void resetButtonSizesToItsLabel() {
    QFETCH(int, language);
    QFETCH(bool, wide);
    SetLanguage(language);
    CResetPage reset(nullptr, CResetPage::kCentredOffset);
    const int w = reset.resetButton()->MeasureText();
    QCOMPARE(w > 88, wide);
    const QRect expected = wide ? QRect(309 - w / 2, 320, w + 30, 43) : QRect(265, 320, 118, 43);
    QCOMPARE(reset.resetButton()->geometry(), expected);
    QVERIFY(QRect(QPoint(0, 0), reset.size()).contains(expected));
    QCOMPARE(reset.size(), QSize(648, 410));
  }

  // The agreement: one paragraph per piece in key order, title 18 px accent, headings bold, paragraphs plain.
  void agreementInKeyOrder() {
    SetLanguage(1);
    CTermPage term(nullptr);
    QTextDocument* doc = term.textBox()->document();
    const auto& pieces = intro::AgreementPieces();
    QCOMPARE(doc->blockCount(), int(pieces.size()));
    QTextBlock block = doc->begin();
    for (const intro::AgreementPiece& piece : pieces) {
      const QString key = QString::fromLatin1(piece.key);
      QCOMPARE(block.text(), GetLangString(key, QString()));
      QVERIFY2(!block.text().isEmpty(), qPrintable(key));
      const QTextCharFormat format = block.begin().fragment().charFormat();
      QCOMPARE(format.font().pixelSize(), piece.pixelSize);
      QCOMPARE(format.font().bold(), piece.bold);
      QCOMPARE(format.foreground().color(), piece.accent ? ui::palette::kAccent : ui::palette::kBodyDark);
      block = block.next();
    }
    QVERIFY(term.textBox()->isReadOnly());
    QVERIFY(term.textBox()->geometry().bottom() < 477);  // the Close button is not laid over the text
  }

  void overlayKindsHaveContent() {
    for (int kind : {ui::kOverlayLed, ui::kOverlayReset, ui::kOverlayAgreement}) QVERIFY(ui::HasOverlay(kind));
  }
};

QTEST_MAIN(IntroPagesTest)
#include "IntroPagesTest.moc"
