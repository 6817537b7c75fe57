// The summary page in a host: which panel shows for the cameras added and the cloud account, FINISH leaving
// the launcher in the desktop folder named by the user-dirs file of a test HOME (replacing an earlier one,
// whatever the language) and still finishing when that folder is read-only, and "GO TO NVR" handing the
// recorder's address to the browser (a stand-in on PATH that writes down what it was given); the panel's lines as
// a screen reader and the keyboard meet them, cleaned of a peer's control characters. Screenshots of the page in
// English, Simplified Chinese, Russian, Spanish and Traditional Chinese.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "AccessibleTree.h"
#include "WizardTestSupport.h"
#include "app/InterDialog.h"
#include "app/PageRegistry.h"
#include "i18n/LangString.h"
#include "pages/summary/SummaryDlg.h"
#include "pages/summary/SummaryPages.h"
#include "ui/Buttons.h"

using namespace vrx;

namespace {

constexpr const char* kRecorderIp = "127.0.16.1";

struct Camera {
  const char* model;
  int selected;
};

QString ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool WriteFile(const QString& path, const QByteArray& data, bool executable = false) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size()) return false;
  f.close();
  if (executable) f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
  return true;
}

}  // namespace

class SummaryPageTest : public QObject {
  Q_OBJECT

  vrx::test::EventLog events_;  // before any page is made: it must see their events
  QTemporaryDir home_;
  std::unique_ptr<CInterDialog> host_;

  // What a screen reader reads in the panel, row by row.
  static QStringList Rows(QWidget* table) {
    QStringList rows;
    for (QAccessibleInterface* item : vrx::test::ListItems(table)) rows << item->text(QAccessible::Name);
    return rows;
  }

  QString Desktop() const { return home_.filePath("Schreibtisch"); }
  QString BrowserRecord() const { return home_.filePath("browser-was-given"); }

  CSummaryDlg* Open(const QList<Camera>& cameras, const QString& email, const QString& access = "1",
                    const QString& number = "K4R7M2Q9") {
    host_ = std::make_unique<CInterDialog>();
    host_->SetRecorderIp(kRecorderIp);
    host_->SetAdminPassword(net::Secret("Admin123"));
    if (!email.isEmpty()) host_->SetCloudAccount(email, net::Secret("kelvaro1"));
    for (const Camera& c : cameras) {
      auto record = std::make_unique<steps::CameraRecord>();
      record->model = c.model;
      record->selected = record->added = c.selected;  // ticked at Next and confirmed by the recorder
      host_->state().cameras.push_back(std::move(record));
    }
    const QString values[] = {"0", access, "portal.kelvaro.example", number, "dfp", "VRX-410Q", "http://127.0.16.1/"};
    for (int i = 0; i < steps::kCloudValueCount; ++i) host_->SetCloudValue(i, values[i]);
    host_->show();
    host_->ShowPage(kPageSummary);
    return qobject_cast<CSummaryDlg*>(host_->currentPage());
  }

  void Finish(CSummaryDlg* page) {
    QTest::mouseClick(page->button(CSummaryDlg::kCmdFinish), Qt::LeftButton);
    QTRY_VERIFY(!host_->isVisible());
    QCOMPARE(host_->result(), int(QDialog::Accepted));
  }

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    // A HOME of the test's own whose user-dirs file names a desktop folder that is not ~/Desktop, and a
    // stand-in browser ahead of everything else on PATH.
    qputenv("HOME", home_.path().toUtf8());
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_DIRS", home_.filePath("system-share").toUtf8());  // no package installed here
    QVERIFY(QDir().mkpath(home_.filePath(".config")) && QDir().mkpath(home_.filePath("bin")));
    QVERIFY(WriteFile(home_.filePath(".config/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"));
    QVERIFY(WriteFile(home_.filePath("bin/xdg-open"),
                      "#!/bin/sh\nprintf '%s' \"$*\" > '" + BrowserRecord().toUtf8() + "'\n", true));
    qputenv("PATH", home_.filePath("bin").toUtf8() + ":" + qgetenv("PATH"));
    ClearPageRegistry();
    RegisterSummaryPages();
    vrx::test::UseLanguage(0);
  }

  void cleanup() {
    host_.reset();
    vrx::test::UseLanguage(0);
  }

  void showsThePanelForWhatWasSetUp_data() {
    QTest::addColumn<QList<Camera>>("cameras");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QStringList>("headings");
    const QList<Camera> added{{"HVC-2230", 1}, {"HVC-1120", 0}, {"HVC-0810", 1}};
    const QList<Camera> noneTicked{{"HVC-2230", 0}};
    QTest::newRow("cameras and cloud") << added << "owner@kelvaro.test" << "CSummaryTable"
                                       << QStringList{"NVR", "kelvaro", "Cameras"};
    QTest::newRow("cameras only") << added << "" << "CSummaryTable4" << QStringList{"NVR", "Cameras"};
    QTest::newRow("cloud only") << noneTicked << "owner@kelvaro.test" << "CSummaryTable3"
                                << QStringList{"NVR", "kelvaro"};
    QTest::newRow("neither") << QList<Camera>{} << "" << "CSummaryTable2" << QStringList{"NVR"};
  }
  void showsThePanelForWhatWasSetUp() {
    QFETCH(QList<Camera>, cameras);
    QFETCH(QString, email);
    QFETCH(QString, panel);
    QFETCH(QStringList, headings);
    CSummaryDlg* page = Open(cameras, email);
    QVERIFY(page);
    QCOMPARE(page->table()->objectName(), panel);
    QCOMPARE(page->table()->headings(), headings);
    const QStringList rows = Rows(page->table());
    QCOMPARE(rows.mid(0, 2), (QStringList{"NVR", "Password: Admin123"}));
    QCOMPARE(rows.contains("HVC-2230"), headings.contains("Cameras"));
    QCOMPARE(rows.contains("Email: owner@kelvaro.test"), headings.contains("kelvaro"));
    QVERIFY2(!rows.contains("HVC-1120"), "a camera that was not ticked is not listed");
    QVERIFY(!page->backButton() && !page->nextButton());
  }

  // Tab reaches the panel; the arrow keys walk its lines, each announced as the focused row, passwords as shown.
  void panelIsReadLineByLine() {
    CSummaryDlg* page = Open({{"HVC-2230", 1}, {"HVC-0810", 1}}, "owner@kelvaro.test");
    QVERIFY(page);
    const QStringList expected{"NVR",   "Password: Admin123", "kelvaro", "Email: owner@kelvaro.test",
                               "Password: kelvaro1", "Cameras", "HVC-2230", "HVC-0810"};
    QCOMPARE(Rows(page->table()), expected);
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(page->table());
    QCOMPARE(table->text(QAccessible::Name), QString("Summary"));

    host_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(host_.get()));
    page->button(CWizardPage::kCmdClose)->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 8 && QApplication::focusWidget() && QApplication::focusWidget() != page->table(); ++i)
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(page->table()));
    QStringList heard;
    for (int line = 1; line < expected.size(); ++line) {
      events_.clear();
      QTest::keyClick(page->table(), Qt::Key_Down);
      QCOMPARE(page->table()->currentLine(), line);
      for (const auto& e : events_.entries())
        if (e.type == QAccessible::Focus && e.object == page->table()) heard << e.texts.value(0);
    }
    QCOMPARE(heard, expected.mid(1));
    QVERIFY(page->grab().save(vrx::test::ScreenshotDir() + "/summary_focus_on_line_en.png"));  // the last line ringed
    QTest::keyClick(page->table(), Qt::Key_Down);
    QCOMPARE(page->table()->currentLine(), int(expected.size()) - 1);
    QTest::keyClick(page->table(), Qt::Key_Home);
    QCOMPARE(page->table()->currentLine(), 0);
  }

  // A model name is the recorder's text: a direction override or a terminal escape in it is not shown or read.
  void peerControlCharactersAreNotShown() {
    CSummaryDlg* page = Open({{"VCM\u202Eevil\x1b[2J", 1}}, "");
    QVERIFY(page);
    QVERIFY2(Rows(page->table()).contains("VCMevil[2J"), qPrintable(Rows(page->table()).join('|')));
    for (const auto& line : page->table()->lines())
      QVERIFY(!line.text.contains(QChar(0x202E)) && !line.text.contains(QChar(0x1b)));
  }

  void finishWritesThePortalLauncherIntoTheDesktopFolder() {
    QVERIFY(QDir().mkpath(Desktop()));
    const QString path = Desktop() + "/VRX-410Q(K4R7M2Q9).desktop";
    QVERIFY(WriteFile(path, "[Desktop Entry]\nType=Application\nName=old\nExec=old\n"));
    const QString icon = home_.filePath(".local/share/icons/hicolor/256x256/apps/vrx-setup-wizard.png");
    QFile::remove(icon);
    CSummaryDlg* page = Open({}, "owner@kelvaro.test");
    QVERIFY2(!QFile::exists(home_.filePath(".local/share/icons")), "nothing is placed before FINISH");
    vrx::test::UseLanguage(3);  // the portal address is English whatever the wizard's language
    Finish(page);

    const QString launcher = ReadFile(path);
    QVERIFY2(launcher.contains("\nExec=xdg-open \"https://portal.kelvaro.example/device#K4R7M2Q9?lang=en\"\n"),
             qPrintable(launcher));
    // Without the package's icon in the theme: the program's picture, placed in the user's hicolor folder.
    QVERIFY2(launcher.contains("\nIcon=" + icon + "\n"), qPrintable(launcher));
    QVERIFY(QFileInfo(icon).size() > 0);
    QVERIFY(!launcher.contains("Name=old"));
    QVERIFY(QFileInfo(path).isExecutable());
    QVERIFY2(!QFile::exists(home_.filePath("Desktop")), "the user-dirs folder, not ~/Desktop");
  }

  void finishWritesTheRecorderLinkLauncherWhenTheCloudWasNotOffered() {
    Finish(Open({{"HVC-2230", 1}}, "", /*access*/ ""));
    QVERIFY(ReadFile(Desktop() + "/VRX-410Q.desktop").contains("\nExec=xdg-open \"http://127.0.16.1/\"\n"));
  }

  void readOnlyDesktopStillFinishes() {
    QVERIFY(QDir().mkpath(Desktop()));
    QFile::remove(Desktop() + "/VRX-410Q.desktop");
    QFile::setPermissions(Desktop(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFileInfo(Desktop()).isWritable()) QSKIP("running as a user who can write anywhere");
    Finish(Open({}, "", ""));
    QVERIFY(!QFile::exists(Desktop() + "/VRX-410Q.desktop"));
    QFile::setPermissions(Desktop(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  }

  void goToNvrOpensTheRecorderInTheBrowser() {
    QFile::remove(BrowserRecord());
    CSummaryDlg* page = Open({}, "");
    QTest::mouseClick(page->button(CSummaryDlg::kCmdGoToNvr), Qt::LeftButton);
    QTRY_COMPARE(ReadFile(BrowserRecord()), QString("http://127.0.16.1"));
    QCOMPARE(host_->currentPage(), static_cast<QWidget*>(page));
    QVERIFY(host_->isVisible());
  }

  void screenshots() {
    const std::pair<int, const char*> languages[] = {{0, "en"}, {5, "zh_CN"}, {2, "ru"}, {3, "es"}, {4, "zh_TW"}};
    for (const auto& [language, code] : languages) {
      vrx::test::UseLanguage(language);
      CSummaryDlg* page = Open({{"HVC-2230", 1}, {"HVC-1120", 1}, {"HVC-0810 Backyard", 1}}, "owner@kelvaro.test");
      QVERIFY(page);
      QVERIFY(page->grab().save(vrx::test::ScreenshotDir() + "/summary_full_" + code + ".png"));
    }
    vrx::test::UseLanguage(0);
    QVERIFY(Open({}, "")->grab().save(vrx::test::ScreenshotDir() + "/summary_nvr_only_en.png"));
  }
};

QTEST_MAIN(SummaryPageTest)
#include "SummaryPageTest.moc"
