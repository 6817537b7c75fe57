// What the desktop program adds to the pages: the language asked for on the command line, else the desktop's,
// is the one the wizard starts in (and names the windows), and every password field has an eye mark (checked
// in a Latin and a CJK language: off by default, named for assistive technology in the page's language; a
// click shows the text and a second hides it again). Saves $VRX_BUILD_DIR/screenshots/password_eye_<code>.png
// with the text shown, and welcome_<row>.png for the start languages.
#include <QtTest>

#include "WizardTestSupport.h"
#include "app/BriskoApp.h"
#include "app/BriskoDlg.h"
#include "program/CommandLine.h"
#include "program/DesktopLanguage.h"
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

  // The start language as main() decides it (the command line, else the desktop's language, else English):
  // the frame loads it, the welcome page shows it with it chosen in the list, and the windows' title names
  // the product in it. Saves $VRX_BUILD_DIR/screenshots/welcome_<row>.png.
  void startsInTheLanguageAskedFor_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("env");  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("title");
    const QString russianTitle = QString::fromUtf8("\xD0\x9C\xD0\xB0\xD1\x81\xD1\x82\xD0\xB5\xD1\x80 "
                                                   "\xD0\xBD\xD0\xB0\xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xB9\xD0\xBA\xD0\xB8 VRX-410Q");
    const QString russianStart = QString::fromUtf8("\xD0\x9D\xD0\x90\xD0\xA7\xD0\x90\xD0\xA2\xD0\xAC");
    QTest::newRow("desktop_ru") << QStringList{} << QStringList{"ru", "", "", "ru_RU.UTF-8"} << 2 << russianStart
                                << russianTitle;
    QTest::newRow("desktop_zh_CN") << QStringList{} << QStringList{"", "", "", "zh_CN.UTF-8"} << 5
                                   << QString::fromUtf8("\xE5\xBC\x80\xE5\xA7\x8B")
                                   << QString::fromUtf8("VRX-410Q \xE8\xAE\xBE\xE7\xBD\xAE\xE5\x90\x91\xE5\xAF\xBC");
    QTest::newRow("option_ru_RU") << QStringList{"--language", "ru_RU"} << QStringList{"", "", "", "zh_CN.UTF-8"}
                                  << 2 << russianStart << russianTitle;
    QTest::newRow("desktop_de") << QStringList{} << QStringList{"de", "", "", "de_DE.UTF-8"} << 0 << "START"
                                << "VRX-410Q Setup Wizard";
  }
  void startsInTheLanguageAskedFor() {
    QFETCH(QStringList, args);
    QFETCH(QStringList, env);
    QFETCH(int, language);
    QFETCH(QString, start);
    QFETCH(QString, title);
    std::vector<std::string> line;
    for (const QString& arg : args) line.push_back(arg.toStdString());
    const LocaleEnvironment desktop{env[0].toStdString(), env[1].toStdString(), env[2].toStdString(),
                                    env[3].toStdString()};
    SetStartLanguage(StartLanguageFor(ParseCommandLine(line), desktop));
    CBriskoDlg frame(false);
    SetStartLanguage(-1);
    QCOMPARE(int(currentLanguage), language);
    QCoreApplication::processEvents();  // the frame's pause before the host: the language file is read there
    frame.host()->show();
    auto* home = qobject_cast<CHomeDlg*>(frame.host()->currentPage());
    QVERIFY(home);
    QCOMPARE(home->startButton()->text(), start);
    QCOMPARE(home->languageList()->currentIndex(), language);
    QTRY_COMPARE(frame.host()->windowTitle(), title);  // the language change reaches the windows
    QTRY_COMPARE(frame.windowTitle(), title);
    QVERIFY(frame.host()->grab().save(
        QString("%1/welcome_%2.png").arg(vrx::test::ScreenshotDir(), QTest::currentDataTag())));
  }

  // The welcome page still changes the language the desktop chose, and the title follows.
  void theWelcomePageStillChangesTheLanguage() {
    SetStartLanguage(StartLanguageFor(ParseCommandLine({}), LocaleEnvironment{"ru", "", "", "ru_RU.UTF-8"}));
    CBriskoDlg frame(false);
    SetStartLanguage(-1);
    QCoreApplication::processEvents();
    frame.host()->show();
    auto* home = qobject_cast<CHomeDlg*>(frame.host()->currentPage());
    QVERIFY(home);
    QTest::keyClick(home->languageList(), Qt::Key_Down);  // opens the list on Russian
    ui::CComboBoxList* languages = home->languageList()->dropDown();
    QVERIFY(languages);
    QTest::keyClick(languages, Qt::Key_Up);
    QTest::keyClick(languages, Qt::Key_Up);
    QTest::keyClick(languages, Qt::Key_Space);  // English
    QTRY_COMPARE(int(currentLanguage), 0);
    QCOMPARE(home->startButton()->text(), QStringLiteral("START"));
    QTRY_COMPARE(frame.host()->windowTitle(), QStringLiteral("VRX-410Q Setup Wizard"));
    QCOMPARE(frame.windowTitle(), QStringLiteral("VRX-410Q Setup Wizard"));
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
