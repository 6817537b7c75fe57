// Renders the welcome pages and their popups (over the dimmed page, as the wizard shows them) in English,
// Traditional Chinese, Spanish (the wide reset button) and Russian (long texts) into $VRX_BUILD_DIR/screenshots/ for a person
// to look at. The checks only guard against blank pictures.
#include <QPainter>
#include <QtTest>

#include "app/InterDialog.h"
#include "app/PageRegistry.h"
#include "i18n/LangString.h"
#include "StandInPages.h"
#include "pages/intro/IntroOverlays.h"
#include "pages/intro/IntroPages.h"
#include "ui/ComboBox.h"
#include "ui/Overlay.h"
#include "WizardTestSupport.h"

using namespace vrx;

namespace {

using vrx::test::GoTo;
using vrx::test::ScreenshotDir;

// The page under the veil (black at 153/255) with the popup at its offset.
QImage OverVeil(const QImage& page, QWidget* popup, QPoint offset) {
  QImage shot = page.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QPainter p(&shot);
  p.fillRect(shot.rect(), QColor(0, 0, 0, ui::CTransparentPage::kOpacity));
  p.drawImage(offset, popup->grab().toImage());
  return shot;
}

// Distinct colours in a picture: a blank or single-colour picture has very few.
int ColourCount(const QImage& image) {
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); y += 4)
    for (int x = 0; x < image.width(); x += 4) colours.insert(image.pixel(x, y));
  return colours.size();
}

}  // namespace

class IntroScreenshotTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    ClearPageRegistry();
    RegisterStandInPages();
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
  }
  void shots() {
    QFETCH(int, language);
    QFETCH(QString, suffix);
    currentLanguage = language;
    LoadLanguageFile(language);
    CInterDialog host;
    host.show();
    QImage ledPage;
    for (int type = 1; type <= 5; ++type) {
      GoTo(host, type);
      QWidget* page = host.currentPage();
      const QImage shot = page->grab().toImage();
      QVERIFY(ColourCount(shot) > 50);
      QVERIFY(shot.save(QString("%1/intro_page%2_%3.png").arg(ScreenshotDir()).arg(type).arg(suffix)));
      if (type == 5) ledPage = shot;
      if (type == 1) {  // the language list opened over the page
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
    QVERIFY(OverVeil(ledPage, &led, CResetPage::kCentredOffset).save(ScreenshotDir() + "/intro_led_" + suffix + ".png"));
    CResetPage reset(nullptr, CResetPage::kCentredOffset);
    QVERIFY(OverVeil(ledPage, &reset, CResetPage::kCentredOffset).save(ScreenshotDir() + "/intro_reset_" + suffix + ".png"));
    CTermPage term(nullptr);
    QVERIFY(OverVeil(ledPage, &term, QPoint(80, 50)).save(ScreenshotDir() + "/intro_terms_" + suffix + ".png"));
  }
};

QTEST_MAIN(IntroScreenshotTest)
#include "IntroScreenshotTest.moc"
