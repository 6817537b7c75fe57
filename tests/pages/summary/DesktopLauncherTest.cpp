// The desktop launcher FINISH writes: its file name and the address it opens for each kind of recorder, values
// from the recorder that try to break out of the launcher's command line or to reorder its name, the file
// itself (validated by desktop-file-validate, executable, replacing an earlier one, silent failure in a
// read-only folder, gio's trust mark kept off our stderr), and its icon (the theme's when the package installed
// it, else the user's own PNG).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include "pages/summary/LauncherIcon.h"
#include "steps/launcher/DesktopLauncher.h"

using vrx::steps::DesktopLauncher;
using vrx::steps::kSupportAddress;

namespace {

const QString kSupport = QString::fromLatin1(kSupportAddress);
const QString kIcon = "vrx-setup-wizard";

// The Exec value read the way a launcher reads it: the string escapes, then the quoting rule, then %% as a
// literal percent. Fails the test on a field code or an unterminated quote.
QStringList ParseExec(const QString& value) {
  QString unescaped;
  for (int i = 0; i < value.size(); ++i) {
    if (value[i] == u'\\' && i + 1 < value.size()) {
      const QChar next = value[++i];
      unescaped += next == u's' ? QChar(u' ') : next == u'n' ? QChar(u'\n') : next == u't' ? QChar(u'\t') : next;
    } else {
      unescaped += value[i];
    }
  }
  QStringList args;
  QString current;
  bool quoted = false, any = false;
  for (int i = 0; i < unescaped.size(); ++i) {
    const QChar c = unescaped[i];
    if (c == u'%') {
      EXPECT_TRUE(i + 1 < unescaped.size() && unescaped[i + 1] == u'%') << "field code in " << value.toStdString();
      current += u'%';
      ++i;
      any = true;
    } else if (quoted) {
      if (c == u'\\' && i + 1 < unescaped.size()) current += unescaped[++i];
      else if (c == u'"') quoted = false;
      else current += c;
    } else if (c == u'"') {
      quoted = any = true;
    } else if (c == u' ') {
      if (any) args << current;
      current.clear();
      any = false;
    } else {
      EXPECT_FALSE(QStringLiteral("`$\\;&|<>'").contains(c)) << "reserved character outside quotes";
      current += c;
      any = true;
    }
  }
  EXPECT_FALSE(quoted) << "unterminated quote in " << value.toStdString();
  if (any) args << current;
  return args;
}

QString ExecValue(const QByteArray& contents) {
  for (const QString& line : QString::fromUtf8(contents).split(u'\n'))
    if (line.startsWith("Exec=")) return line.mid(5);
  return {};
}

// desktop-file-validate's complaints about the file (empty when it passes).
QString Validate(const QString& path) {
  const std::string command = "desktop-file-validate '" + path.toStdString() + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "desktop-file-validate did not run";
  std::string out;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
  const int status = pclose(pipe);
  return status == 0 && out.find("error") == std::string::npos ? QString() : QString::fromStdString(out + " ");
}

struct Variant {
  const char* name;
  DesktopLauncher::Inputs in;
  QString fileName;
  QString url;
};

class ShortcutVariant : public testing::TestWithParam<Variant> {};

TEST_P(ShortcutVariant, NamesTheFileAndTheAddress) {
  const DesktopLauncher s(GetParam().in);
  EXPECT_EQ(s.fileName(), GetParam().fileName);
  EXPECT_EQ(s.url(), GetParam().url);
  EXPECT_EQ(ParseExec(s.execLine()), QStringList({"xdg-open", GetParam().url}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShortcutVariant,
    testing::Values(
        Variant{"portal_with_number", {"1", "portal.kelvaro.example", "12345", "http://127.0.10.1/"},
                "VRX-410Q(12345).desktop", "https://portal.kelvaro.example/device#12345?lang=en"},
        Variant{"portal_without_number", {"1", "portal.kelvaro.example", "", "http://127.0.10.1/"},
                "VRX-410Q.desktop", "https://portal.kelvaro.example"},
        Variant{"portal_host_given_as_url", {"1", "https://portal.kelvaro.example/nvr", "", ""}, "VRX-410Q.desktop",
                kSupport},
        // The portal host follows the account requests' rule: a host of the service, else the support address.
        Variant{"portal_host_not_the_services", {"1", "evil.example", "12345", ""}, "VRX-410Q(12345).desktop",
                kSupport},
        Variant{"portal_host_look_alike", {"1", "kelvaro.example.evil.test", "", ""}, "VRX-410Q.desktop", kSupport},
        Variant{"portal_host_with_a_user_part", {"1", "portal.example@evil.test", "12345", ""},
                "VRX-410Q(12345).desktop", kSupport},
        Variant{"portal_host_with_a_path", {"1", "portal.example/@evil.test", "", ""}, "VRX-410Q.desktop", kSupport},
        Variant{"portal_without_host", {"1", "", "12345", "http://127.0.10.1/"}, "VRX-410Q(12345).desktop",
                kSupport},
        Variant{"portal_nothing_known", {"1", "", "", "http://127.0.10.1/"}, "VRX-410Q.desktop", kSupport},
        Variant{"recorder_link", {"0", "portal.kelvaro.example", "12345", "http://127.0.10.1:8080/", "127.0.10.1"},
                "VRX-410Q.desktop", "http://127.0.10.1:8080/"},
        Variant{"skipped_cloud_link", {"", "", "", "https://127.0.10.1/", "127.0.10.1"}, "VRX-410Q.desktop",
                "https://127.0.10.1/"},
        // The recorder's link opens the recorder, no other host (the same fallback as an unusable link).
        Variant{"foreign_recorder_link", {"0", "", "", "https://evil.example/", "127.0.10.1"}, "VRX-410Q.desktop",
                kSupport},
        Variant{"link_to_another_address", {"0", "", "", "http://127.0.10.9/", "127.0.10.1"}, "VRX-410Q.desktop",
                kSupport},
        Variant{"recorder_address_unknown", {"0", "", "", "http://127.0.10.1/", ""}, "VRX-410Q.desktop", kSupport},
        Variant{"nothing_known", {"", "", "", ""}, "VRX-410Q.desktop", kSupport},
        Variant{"number_cannot_leave_the_folder", {"1", "portal.kelvaro.example", "../../x", ""},
                "VRX-410Q(.._.._x).desktop", "https://portal.kelvaro.example/device#../../x?lang=en"}),
    [](const testing::TestParamInfo<Variant>& info) { return std::string(info.param.name); });

// Recorder-supplied links that try to reach the command line: each gives one argument that is an http(s)
// address (or the support address), and the file still validates.
TEST(HostileLinks, NeverReachTheLauncherRaw) {
  const QStringList hostile{
      "http://127.0.10.1/\"; rm -rf ~; \"",
      "http://127.0.10.1/a b",
      "http://127.0.10.1/;reboot",
      "http://127.0.10.1/$(reboot)",
      "http://127.0.10.1/`id`",
      "http://127.0.10.1/%f",
      "http://127.0.10.1/%u%%U",
      "http://127.0.10.1/\\\"",
      "http://127.0.10.1/\nExec=evil",
      "\"http://127.0.10.1/\"",
      "file:///etc/passwd",
      "javascript:alert(1)",
      "JAVASCRIPT:alert(1)",
      "127.0.10.1; reboot",
      "ftp://127.0.10.1/",
      "http://",
      QString::fromUtf8("http://127.0.10.1/é"),
  };
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const QString& link : hostile) {
    SCOPED_TRACE(link.toStdString());
    const DesktopLauncher s({"0", "", "", link, "127.0.10.1"});
    const QStringList args = ParseExec(s.execLine());
    ASSERT_EQ(args.size(), 2);
    EXPECT_EQ(args[0], "xdg-open");
    EXPECT_EQ(args[1], s.url());
    EXPECT_TRUE(s.url().startsWith("http://") || s.url().startsWith("https://"));
    for (QChar c : s.url()) EXPECT_TRUE(c.unicode() > 32 && c.unicode() < 127 && c != u'"' && c != u'`');
    const QByteArray contents = s.Contents(kIcon);
    EXPECT_EQ(contents.count('\n'), QString::fromUtf8(DesktopLauncher({"0", "", "", ""}).Contents(kIcon)).count('\n'))
        << "a value broke the file's lines";
    ASSERT_TRUE(s.Write(dir.path(), kIcon));
    EXPECT_EQ(Validate(dir.filePath(s.fileName())), QString());
  }
  // What must not get through at all.
  for (const char* refused : {"file:///etc/passwd", "javascript:alert(1)", "127.0.10.1; reboot", "ftp://127.0.10.1/",
                              "http://127.0.10.1@evil.test/", "https://user:pw@127.0.10.1/"})
    EXPECT_EQ(DesktopLauncher({"0", "", "", refused, "127.0.10.1"}).url(), kSupport) << refused;
}

// The device number and the links are the recorder's texts: a direction override or a terminal escape in them
// reaches neither the launcher's name nor its address.
TEST(HostileLinks, PeerControlCharactersLeaveNoTrace) {
  const QString number = QString::fromUtf8("K4R7\u202EM2\x1b[2J");
  const DesktopLauncher portal({"1", QString::fromUtf8("portal.kel\u202Evaro.example"), number, ""});
  EXPECT_EQ(portal.fileName(), "VRX-410Q(K4R7M2[2J).desktop");
  const DesktopLauncher link({"0", "", "", QString::fromUtf8("http://127.0.10.1/\u202Eevil\x1b"), "127.0.10.1"});
  EXPECT_EQ(link.url(), "http://127.0.10.1/evil");
  for (const DesktopLauncher& s : {portal, link}) {
    const QString contents = QString::fromUtf8(s.Contents(kIcon));
    EXPECT_FALSE(contents.contains(QChar(0x202E)) || contents.contains(QChar(0x1b))) << contents.toStdString();
  }
}

TEST(ShortcutFile, IsAValidExecutableLauncherThatReplacesTheLastOne) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString folder = dir.filePath("Desktop");  // created on the way
  const DesktopLauncher first({"", "", "", "http://127.0.10.1/"});
  ASSERT_TRUE(first.Write(folder, kIcon));
  const QString path = QDir(folder).filePath("VRX-410Q.desktop");
  EXPECT_EQ(Validate(path), QString());
  EXPECT_TRUE(QFileInfo(path).isExecutable());

  const DesktopLauncher second({"", "", "", "http://127.0.10.9/", "127.0.10.9"});
  ASSERT_TRUE(second.Write(folder, kIcon));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray contents = file.readAll();
  EXPECT_EQ(ParseExec(ExecValue(contents)), QStringList({"xdg-open", "http://127.0.10.9/"}));
  EXPECT_TRUE(contents.contains("\nIcon=" + kIcon.toUtf8() + "\n"));
  EXPECT_TRUE(contents.contains("\nName=VRX-410Q\n"));
  EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no leftovers beside the launcher";
}

// Something planted under the launcher's name (a link to another file, a link to nowhere, a folder) is never
// written through: the write fails and what the link points at stays as it was.
TEST(ShortcutFile, APlantedLinkIsNotFollowed) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString folder = dir.filePath("Desktop");
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString victim = dir.filePath("bashrc");
  {
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("mine\n");
  }
  QFile::setPermissions(victim, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  const QString launcher = QDir(folder).filePath("VRX-410Q.desktop");
  const DesktopLauncher s({"", "", "", "http://127.0.10.1/"});
  for (const QString& target : {victim, dir.filePath("nowhere")}) {
    SCOPED_TRACE(target.toStdString());
    QFile::remove(launcher);
    ASSERT_TRUE(QFile::link(target, launcher));
    EXPECT_FALSE(s.Write(folder, kIcon));
    EXPECT_TRUE(QFileInfo(launcher).isSymLink());
  }
  QFile file(victim);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "mine\n");
  EXPECT_FALSE(QFileInfo(victim).isExecutable());
  EXPECT_FALSE(QFileInfo::exists(dir.filePath("nowhere")));
  QFile::remove(launcher);
  ASSERT_TRUE(QDir().mkpath(launcher));
  EXPECT_FALSE(s.Write(folder, kIcon));
  EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 0) << "no leftovers beside the launcher";
}

// The launcher is marked trusted with gio where it exists; gio's complaints (a desktop without that metadata)
// never reach our stderr, which is vrx-provision's terminal, and gio inherits none of vrx-provision's secrets
// (the answer file's *_env names), only what a desktop tool needs.
TEST(ShortcutFile, TrustMarkLeavesNothingOnOurStderrAndGetsNoSecret) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString bin = dir.filePath("bin"), marker = dir.filePath("gio-ran");
  ASSERT_TRUE(QDir().mkpath(bin));
  {
    QFile gio(QDir(bin).filePath("gio"));
    ASSERT_TRUE(gio.open(QIODevice::WriteOnly));
    gio.write("#!/bin/sh\necho 'gio: Setting attribute metadata::trusted not supported' >&2\nenv > \"" +
              marker.toUtf8() + ".env\"\necho \"$@\" > \"" + marker.toUtf8() + ".part\" && mv \"" + marker.toUtf8() +
              ".part\" \"" + marker.toUtf8() + "\"\n");
    gio.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  }
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", bin.toUtf8() + ":" + path);
  const char* secrets[] = {"ADMIN_PW", "CLOUD_PW", "XDG_PW"};  // as an answer file names them
  for (const char* name : secrets) qputenv(name, "s3cret-value");
  const QString captured = dir.filePath("stderr");
  std::fflush(stderr);
  const int saved = ::dup(STDERR_FILENO);
  const int file = ::open(captured.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ::dup2(file, STDERR_FILENO);
  ::close(file);

  const bool written = DesktopLauncher({"", "", "", "http://127.0.10.1/"}).Write(dir.filePath("Desktop"), kIcon);
  for (int i = 0; i < 250 && !QFileInfo::exists(marker); ++i) QThread::msleep(20);

  std::fflush(stderr);
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  qputenv("PATH", path);
  for (const char* name : secrets) qunsetenv(name);
  ASSERT_TRUE(written);
  QFile ran(marker);
  ASSERT_TRUE(ran.open(QIODevice::ReadOnly)) << "gio was not started";
  EXPECT_EQ(ran.readAll().trimmed(),
            "set " + QDir(dir.filePath("Desktop")).filePath("VRX-410Q.desktop").toUtf8() + " metadata::trusted true");
  QFile err(captured);
  ASSERT_TRUE(err.open(QIODevice::ReadOnly));
  EXPECT_EQ(err.readAll(), QByteArray());
  QFile environment(marker + ".env");
  ASSERT_TRUE(environment.open(QIODevice::ReadOnly));
  const QByteArray seen = environment.readAll();
  EXPECT_FALSE(seen.contains("s3cret-value")) << seen.toStdString();
  EXPECT_TRUE(seen.contains("\nHOME=") || seen.startsWith("HOME=")) << seen.toStdString();
}

TEST(ShortcutFile, ReadOnlyFolderFailsQuietly) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  if (QFileInfo(dir.path()).isWritable()) GTEST_SKIP() << "running as a user who can write anywhere";
  EXPECT_FALSE(DesktopLauncher({"", "", "", "http://127.0.10.1/"}).Write(dir.path(), kIcon));
  QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// The launcher's icon: the theme's name when a hicolor folder of the data dirs holds it (nothing written), else
// the program's PNG copied into the user's own hicolor folder, else none.
class LauncherIconTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(system_.isValid() && home_.isValid() && source_.isValid());
    qputenv("XDG_DATA_DIRS", system_.path().toUtf8());
    qputenv("XDG_DATA_HOME", home_.path().toUtf8());
    QFile png(source_.filePath("icon.png"));
    ASSERT_TRUE(png.open(QIODevice::WriteOnly) && png.write(kPng) == kPng.size());
  }
  void TearDown() override {
    qunsetenv("XDG_DATA_DIRS");
    qunsetenv("XDG_DATA_HOME");
  }
  const QByteArray kPng = QByteArray("\x89PNG\r\n\x1a\n", 8) + "picture";
  QTemporaryDir system_, home_, source_;
};

TEST_F(LauncherIconTest, ThemeIconWhenThePackageInstalledIt) {
  for (const char* file : {"48x48/apps/vrx-setup-wizard.png", "scalable/apps/vrx-setup-wizard.svg"}) {
    QTemporaryDir system;
    qputenv("XDG_DATA_DIRS", ("/nonexistent:" + system.path()).toUtf8());
    const QString path = system.filePath(QStringLiteral("icons/hicolor/") + file);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile(path).open(QIODevice::WriteOnly);
    EXPECT_EQ(vrx::LauncherIcon::ForLauncher(source_.filePath("icon.png")), "vrx-setup-wizard") << file;
    EXPECT_TRUE(QDir(home_.path()).isEmpty()) << "nothing copied into the user's folders";
  }
}

TEST_F(LauncherIconTest, UsersOwnPngOtherwise) {
  const QString expected = home_.filePath("icons/hicolor/256x256/apps/vrx-setup-wizard.png");
  EXPECT_EQ(vrx::LauncherIcon::UserIconPath(), expected);
  EXPECT_EQ(vrx::LauncherIcon::ForLauncher(source_.filePath("icon.png")), expected);
  QFile written(expected);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.readAll(), kPng);
  // Without a picture to copy the launcher goes without an icon.
  EXPECT_EQ(vrx::LauncherIcon::ForLauncher(source_.filePath("missing.png")), QString());
}

}  // namespace
