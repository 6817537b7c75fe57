// What the desktop program adds to the pages: the language asked for on the command line is the one the
// wizard starts in, and every password field has an eye mark (checked in a Latin and a CJK language: off by
// default, named for assistive technology in the page's language; a click shows the text and a second hides
// it again). Saves $VRX_BUILD_DIR/screenshots/password_eye_<code>.png with the text shown.
#include <QtTest>

#include "WizardTestSupport.h"
#include "app/BriskoApp.h"
#include "app/BriskoDlg.h"
#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "i18n/LanguageTable.h"
#include "pages/AllPages.h"
#include "pages/intro/IntroPages.h"
#include "pages/recorder/NvrPwdDlg.h"
#include "ui/Buttons.h"
#include "ui/ComboBox.h"
#include "ui/EditCtrl.h"

using namespace vrx;

class DesktopPagesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { RegisterAllPages(); }
  void cleanup() {
    currentLanguage = 0;
    LoadLanguageFile(0);
  }

  // --language ru: the frame loads Russian and the welcome page shows it, with Russian chosen in its list.
  void startsInTheLanguageAskedFor() {
    SetStartLanguage(2);
    CBriskoDlg frame(false);
    SetStartLanguage(-1);
    QCOMPARE(int(currentLanguage), 2);
    QCoreApplication::processEvents();  // the frame's pause before the host: the language file is read there
    frame.host()->show();
    auto* home = qobject_cast<CHomeDlg*>(frame.host()->currentPage());
    QVERIFY(home);
    QCOMPARE(home->startButton()->text(), QString::fromUtf8("\xD0\x9D\xD0\x90\xD0\xA7\xD0\x90\xD0\xA2\xD0\xAC"));
    QCOMPARE(home->languageList()->currentIndex(), 2);
  }

  void eyeOnEveryPasswordField_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("showName");
    QTest::newRow("en") << 0 << "Show password";
    QTest::newRow("zh_CN") << 5 << QString::fromUtf8("\xE6\x98\xBE\xE7\xA4\xBA\xE5\xAF\x86\xE7\xA0\x81");
  }
  void eyeOnEveryPasswordField() {
    QFETCH(int, language);
    QFETCH(QString, showName);
    currentLanguage = language;
    LoadLanguageFile(language);
    CInterDialog host;
    host.show();
    host.ShowPage(CNvrPwdDlg::kPageType);
    auto* page = qobject_cast<CNvrPwdDlg*>(host.currentPage());
    QVERIFY(page);

    int fields = 0;
    for (ui::CMyEditCtrl2* edit : page->findChildren<ui::CMyEditCtrl2*>()) {
      if (edit->echoMode() == QLineEdit::Normal && !edit->passwordMode()) continue;  // the user name
      ++fields;
      QVERIFY(edit->passwordMode());
      QVERIFY(!edit->passwordShown());
      ui::CRevealButton* eye = edit->revealButton();
      QVERIFY(eye && eye->isVisible());
      QVERIFY(eye->focusPolicy() & Qt::TabFocus);
      QCOMPARE(eye->accessibleName(), showName);
      QVERIFY(edit->rect().contains(eye->geometry()));  // inside the field, beside the text
    }
    QVERIFY(fields >= 1);

    ui::CMyEditCtrl2* edit = page->passwordEdit();
    edit->setText(QStringLiteral("Vigil2024"));
    QTest::mouseClick(edit->revealButton(), Qt::LeftButton);
    QVERIFY(edit->passwordShown());
    QCOMPARE(edit->displayedText(), QStringLiteral("Vigil2024"));
    QVERIFY(host.grab().save(QString("%1/password_eye_%2.png")
                                 .arg(vrx::test::ScreenshotDir(), i18n::LanguageAt(language).code)));
    QTest::mouseClick(edit->revealButton(), Qt::LeftButton);
    QVERIFY(!edit->passwordShown());
    QCOMPARE(edit->displayedText(), QString(9, ui::kPasswordMark));
  }
};

QTEST_MAIN(DesktopPagesTest)
#include "DesktopPagesTest.moc"
