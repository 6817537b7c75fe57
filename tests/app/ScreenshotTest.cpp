// Renders the frame with the host on the welcome page and on a page with Next/Back and the step
// indicator, over a plain desktop colour, into $VRX_BUILD_DIR/screenshots/ for a person to look at.
#include <QLabel>
#include <QPainter>
#include <QtTest>

#include "app/AboutDlg.h"
#include "app/BriskoDlg.h"
#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "app/PageRegistry.h"
#include "pages/AllPages.h"
#include "WizardTestSupport.h"

using namespace vrx;

class ScreenshotTest : public QObject {
  Q_OBJECT
 private:
  static QImage Compose(CBriskoDlg& frame) {
    QImage canvas(frame.size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(QColor(0xD9, 0xDE, 0xE4));
    QPainter p(&canvas);
    p.drawImage(0, 0, frame.grab().toImage());
    p.drawImage(CBriskoDlg::kHostInset, CBriskoDlg::kHostInset, frame.host()->grab().toImage());
    return canvas;
  }
  static QString OutDir() { return vrx::test::ScreenshotDir(); }

 private slots:
  void initTestCase() { RegisterAllPages(); }

  void pages_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("navNexts");
    QTest::addColumn<QString>("name");
    QTest::newRow("welcome en") << 0 << 0 << "wizard_page1_en.png";
    QTest::newRow("requirements en") << 0 << 1 << "wizard_page2_en.png";
    QTest::newRow("welcome zh_CN") << 5 << 0 << "wizard_page1_zh_CN.png";
    QTest::newRow("requirements zh_CN") << 5 << 1 << "wizard_page2_zh_CN.png";
  }
  void pages() {
    QFETCH(int, language);
    QFETCH(int, navNexts);
    QFETCH(QString, name);
    CBriskoDlg frame(false);  // starts in English
    currentLanguage = language;
    LoadLanguageFile(language);
    frame.show();
    CInterDialog& host = *frame.host();
    host.show();
    for (int i = 0; i < navNexts; ++i) PostMessage(host.handle(), WM_WIZ_NAVIGATE, NAV_NEXT);
    QTRY_COMPARE(host.pageType(), kFirstPageType + navNexts);
    const QImage shot = Compose(frame);
    QVERIFY(shot.save(OutDir() + "/" + name));
    // The shadow darkens the desktop just outside the host and fades out before the frame corner.
    QVERIFY(qGray(shot.pixel(3, 300)) < qGray(shot.pixel(0, 0)));
    QCOMPARE(shot.pixel(0, 0), QColor(0xD9, 0xDE, 0xE4).rgb());
    currentLanguage = 0;
    LoadLanguageFile(0);
  }

  // The version line carries the version in every language, never its "{0}" placeholder.
  void aboutBox_data() {
    QTest::addColumn<int>("language");
    for (int i = 0; i < 6; ++i) QTest::newRow(qPrintable(QString::number(i))) << i;
  }
  void aboutBox() {
    QFETCH(int, language);
    currentLanguage = language;
    LoadLanguageFile(language);
    CAboutDlg about;
    about.show();
    QString texts;
    for (QLabel* label : about.findChildren<QLabel*>()) texts += label->text() + '\n';
    currentLanguage = 0;
    LoadLanguageFile(0);
    QVERIFY2(texts.contains(QLatin1String(kWizardVersion)), qPrintable(texts));
    QVERIFY2(!texts.contains(QLatin1String("{0}")), qPrintable(texts));
    if (language == 0) {
      QCOMPARE(about.windowTitle(), QString("About"));
      QVERIFY(about.grab().save(OutDir() + "/wizard_about_en.png"));
    }
  }
};

QTEST_MAIN(ScreenshotTest)
#include "ScreenshotTest.moc"
