// Renders the welcome pages and their popups (over the dimmed page, as the wizard shows them) in all six
// languages into $VRX_BUILD_DIR/screenshots/ for a person to look at, and checks that every one-line text fits
// its box in each of them (Russian has the long texts, Spanish the wide reset button) and no picture is blank.
#include <QPainter>
#include <QtTest>

#include "app/InterDialog.h"
#include "app/PageRegistry.h"
#include "i18n/LangString.h"
#include "pages/common/ScaffoldPages.h"
#include "pages/intro/IntroOverlays.h"
#include "pages/intro/IntroPages.h"
#include "ui/ComboBox.h"
#include "ui/Overlay.h"
#include "TextFit.h"
#include "VeiledShot.h"
#include "WizardTestSupport.h"

using namespace vrx;

namespace {

using vrx::test::GoTo;
using vrx::test::ColourCount;
using vrx::test::ScreenshotDir;

// The page under the veil (black at 153/255) with the popup at its offset.
QImage OverVeil(const QImage& page, QWidget* popup, QPoint offset) {
  return vrx::test::Veiled(page, ui::CTransparentPage::kOpacity, popup->grab().toImage(), offset);
}

// Every one-line text of the page or popup fits its box (in the language the test runs).
void ExpectTextsFit(QWidget* root, const QString& what) {
  const QStringList cut = vrx::test::TextsThatDoNotFit(root);
  QVERIFY2(cut.isEmpty(), qPrintable(what + ": " + cut.join("; ")));
}

}  // namespace

class IntroScreenshotTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    ClearPageRegistry();
    RegisterScaffoldPages();
    RegisterIntroPages();
  }
  void cleanup() {
    currentLanguage = 0;
    LoadLanguageFile(0);
  }

  void shots_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("English") << 0 << "en";
    QTest::newRow("Traditional Chinese") << 4 << "zh_TW";
    QTest::newRow("Spanish") << 3 << "es";
    QTest::newRow("Russian") << 2 << "ru";
    QTest::newRow("Portuguese") << 1 << "pt";
    QTest::newRow("Simplified Chinese") << 5 << "zh_CN";
  }
  void shots() {
    QFETCH(int, language);
    QFETCH(QString, suffix);
    currentLanguage = language;
    LoadLanguageFile(language);
    CInterDialog host;
    host.show();
    QImage ledPage;
    for (int type = kPageHome; type <= kPageIntroduction3; ++type) {
      GoTo(host, type);
      QWidget* page = host.currentPage();
      const QImage shot = page->grab().toImage();
      QVERIFY(ColourCount(shot) > 50);
      ExpectTextsFit(page, QString("page %1").arg(type));
      QVERIFY(shot.save(QString("%1/intro_page%2_%3.png").arg(ScreenshotDir()).arg(type).arg(suffix)));
      if (type == kPageIntroduction3) ledPage = shot;
      if (type == kPageHome) {  // the language list opened over the page
        auto* home = qobject_cast<CHomeDlg*>(page);
        home->languageList()->OpenDropDown();
        QWidget* dropDown = home->languageList()->dropDown();
        QVERIFY(dropDown);
        QImage open = shot.copy();
        QPainter p(&open);
        p.drawImage(page->mapFromGlobal(dropDown->mapToGlobal(QPoint(0, 0))), dropDown->grab().toImage());
        p.end();
        QVERIFY(open.save(QString("%1/intro_page1_list_%2.png").arg(ScreenshotDir(), suffix)));
        dropDown->close();
      }
    }
    CLEDRedPage led(nullptr);
    ExpectTextsFit(&led, "LED help");
    QVERIFY(OverVeil(ledPage, &led, CResetPage::kCentredOffset).save(ScreenshotDir() + "/intro_led_" + suffix + ".png"));
    CResetPage reset(nullptr, CResetPage::kCentredOffset);
    ExpectTextsFit(&reset, "reset help");
    QVERIFY(OverVeil(ledPage, &reset, CResetPage::kCentredOffset).save(ScreenshotDir() + "/intro_reset_" + suffix + ".png"));
    CTermPage term(nullptr);
    ExpectTextsFit(&term, "agreement");
    QVERIFY(OverVeil(ledPage, &term, QPoint(80, 50)).save(ScreenshotDir() + "/intro_terms_" + suffix + ".png"));
  }
};

QTEST_MAIN(IntroScreenshotTest)
#include "IntroScreenshotTest.moc"
