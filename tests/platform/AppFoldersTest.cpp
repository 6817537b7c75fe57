// Writing the product icon into the application-data folder and the shared icon folder.
#include <QtTest>

#include "platform/AppFolders.h"

using namespace vrx;

class AppFoldersTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir home_;

  static QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  QString WriteSource(const QByteArray& bytes) {
    const QString path = home_.filePath("source.ico");
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    return path;
  }

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    QCoreApplication::setOrganizationName("Halvik");
    QCoreApplication::setApplicationName("VRX-410Q Setup Wizard");
  }
  void init() { qputenv("XDG_DATA_HOME", home_.filePath("data").toUtf8()); }

  void iconLandsInBothFoldersAndIsOverwritten() {
    QVERIFY(InstallProductIcon(WriteSource("first icon, longer than the second")));
    const QString local = AppDataFolder() + "/VRX-410Q.ico";
    QVERIFY(local.startsWith(home_.filePath("data")));
    QCOMPARE(ProductIconPath(), home_.filePath("data/icons/VRX-410Q.ico"));
    QCOMPARE(Read(local), QByteArray("first icon, longer than the second"));
    QCOMPARE(Read(ProductIconPath()), QByteArray("first icon, longer than the second"));

    // A second run truncates the local file and replaces the shared copy.
    QVERIFY(InstallProductIcon(WriteSource("second")));
    QCOMPARE(Read(local), QByteArray("second"));
    QCOMPARE(Read(ProductIconPath()), QByteArray("second"));
  }

  void missingResourceWritesNothing() {
    qputenv("XDG_DATA_HOME", home_.filePath("empty").toUtf8());
    QVERIFY(!InstallProductIcon(":/ico/no-such-icon.ico"));
    QVERIFY(!QFile::exists(ProductIconPath()));
    QVERIFY(!QFile::exists(AppDataFolder() + "/VRX-410Q.ico"));
  }

  // The data folder is a plain file: nothing can be created below it, and nothing is reported but false.
  void unwritableFolderFailsQuietly() {
    const QString blocker = home_.filePath("blocker");
    QFile f(blocker);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    qputenv("XDG_DATA_HOME", blocker.toUtf8());
    QVERIFY(!InstallProductIcon(WriteSource("icon")));
  }
};

QTEST_GUILESS_MAIN(AppFoldersTest)
#include "AppFoldersTest.moc"
