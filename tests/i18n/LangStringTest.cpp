// Extraction of the language files into the run's private folder and the text lookup over them.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <atomic>
#include <thread>
#include <vector>

#include "QStringPrinter.h"
#include "i18n/LangString.h"

namespace {

// Every test extracts into a private temporary folder (TMPDIR is what the temporary path follows).
class LangStringTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.isValid());
    qputenv("TMPDIR", QFile::encodeName(tmp_.path()));
    ASSERT_EQ(QDir(QDir::tempPath()).canonicalPath(), QDir(tmp_.path()).canonicalPath());
    currentLanguage = 0;
    ASSERT_TRUE(LoadLanguageFile(0));
  }
  void TearDown() override { currentLanguage = 0; }

  void UseLanguage(int index) {
    currentLanguage = index;
    ASSERT_TRUE(LoadLanguageFile(index));
  }
  QString TempFile(const char* name) const { return LanguageFolder() + "/" + name; }

  QTemporaryDir tmp_;
};

TEST_F(LangStringTest, FileValueWinsOverBuiltInTextAndMissingKeyGivesIt) {
  // The file's English differs from the built-in text here; the file wins.
  EXPECT_EQ(GetLangString("nvrpwd_07", "Incorrect password. Please try again."), "you enter incorrect password.");
  // Present with an empty value: empty, not the built-in text.
  EXPECT_EQ(GetLangString("footer_09", "Built-in"), "");
  EXPECT_EQ(GetLangString("no_such_key", "Built-in"), "Built-in");
  EXPECT_EQ(GetLangString("camsearch_09", "The password must be 6-30"), "The password must be 6-30");
}

TEST_F(LangStringTest, PlaceholdersAreReplacedInOrderOnTheGrowingText) {
  struct Case {
    const char* text;
    const char* v0;
    const char* v1;
    const char* v2;
    const char* v3;
    const char* expected;
  };
  const Case cases[] = {
      {"{0} of {1}", "3", "11", "", "", "3 of 11"},
      {"{0}-{1}", "{1}", "x", "", "", "x-x"},          // "{1}" arriving inside value0 is replaced next
      {"{1}-{0}", "{0}", "", "", "", "{1}-{0}"},       // replaced once: value0's own "{0}" stays
      {"{0} {1}", "", "b", "", "", "{0} b"},           // an empty value leaves its placeholder
      {"{3}{2}{2}{1}{0}", "a", "b", "c", "d", "dccba"},
      {"{2}", "{3}", "", "{1}", "z", "{1}"},           // "{1}" arrives after its step has run
      {"no placeholders", "a", "b", "c", "d", "no placeholders"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetLangString("no_such_key", c.text, c.v0, c.v1, c.v2, c.v3), c.expected) << c.text;
  }
  EXPECT_EQ(GetLangString("hddformat_15", "Formatting HD{0}: {1}%", "1", "42"), "Formatting HD1: 42%");
}

TEST_F(LangStringTest, SwitchingLanguagesKeepsEveryExtractedFile) {
  UseLanguage(2);
  const QString russianStart = GetLangString("START", "START");
  EXPECT_NE(russianStart, "START");
  UseLanguage(0);
  EXPECT_TRUE(QFile::exists(TempFile("Russian.ini")));
  EXPECT_TRUE(QFile::exists(TempFile("English.ini")));
  EXPECT_EQ(GetLangString("START", "x"), "START");
  currentLanguage = 2;  // back to Russian without extracting again: its file is still there
  EXPECT_EQ(GetLangString("START", "x"), russianStart);
}

TEST_F(LangStringTest, ExtractedFileHasTheResourceBytesUnchanged) {
  for (int i = 0; i < vrx::i18n::kLanguageCount; ++i) {
    const auto& language = vrx::i18n::kLanguages[static_cast<size_t>(i)];
    ASSERT_TRUE(LoadLanguageFile(i)) << language.fileName;
    QFile resource(QString(":/lang/") + language.fileName);
    QFile extracted(TempFile(language.fileName));
    ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
    ASSERT_TRUE(extracted.open(QIODevice::ReadOnly));
    EXPECT_EQ(extracted.readAll(), resource.readAll()) << language.fileName;
  }
  // Out of range extracts English.
  QFile::remove(TempFile("English.ini"));
  EXPECT_TRUE(LoadLanguageFile(42));
  EXPECT_TRUE(QFile::exists(TempFile("English.ini")));
}

TEST_F(LangStringTest, FilesPlantedInTheSharedTemporaryFolderChangeNothing) {
  // Another local user prepares the shared folder: a read-only file with phishing texts, a symlink to a file
  // of ours, a FIFO that would block whoever opens it.
  const QString shared = QDir::tempPath();
  auto plant = [&](const char* name, const QByteArray& text) {
    QFile f(shared + "/" + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const QString ini = "[language]\r\n" + QString::fromUtf8(text) + "\r\n";
    f.write("\xFF\xFE", 2);
    f.write(reinterpret_cast<const char*>(ini.utf16()), ini.size() * 2);
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::ReadOther);
  };
  plant("English.ini", "START=Call +1 555 0100 to unlock");
  plant("victim.txt", "the user's own file");
  ASSERT_TRUE(QFile::link(shared + "/victim.txt", shared + "/Russian.ini"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(shared + "/Spanish.ini").constData(), 0666), 0);

  for (int language : {0, 2, 3}) UseLanguage(language);  // returns: the FIFO is never opened
  UseLanguage(0);
  EXPECT_EQ(GetLangString("START", "x"), "START");
  EXPECT_NE(QDir(LanguageFolder()).canonicalPath(), QDir(shared).canonicalPath());
  EXPECT_EQ(QFileInfo(LanguageFolder()).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther),
            QFile::Permissions());
  QFile victim(shared + "/victim.txt");
  ASSERT_TRUE(victim.open(QIODevice::ReadOnly));
  EXPECT_TRUE(victim.readAll().contains("t\0h\0e\0 \0u\0s\0e\0r\0"));  // untouched
}

TEST_F(LangStringTest, AFileThisRunDidNotWriteIsNeverRead) {
  // A file appearing in the private folder under the name of a language never extracted stays unread.
  const QString planted = TempFile("Portuguese.ini");
  {
    QFile f(planted);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const QString ini = "[language]\r\nSTART=planted\r\n";
    f.write("\xFF\xFE", 2);
    f.write(reinterpret_cast<const char*>(ini.utf16()), ini.size() * 2);
  }
  currentLanguage = 1;
  EXPECT_EQ(GetLangString("START", "built-in"), "built-in");
}

TEST_F(LangStringTest, TranslationWithoutAKeyShowsTheBuiltInText) {
  UseLanguage(4);
  EXPECT_NE(GetLangString("Summary_01", "Summary"), "Summary");
  EXPECT_EQ(GetLangString("Summary_04", "Built-in summary note"), "Built-in summary note");
}

TEST_F(LangStringTest, MissingOrChangedFileIsNoticed) {
  EXPECT_EQ(GetLangString("START", "x"), "START");
  // A rewrite of the file (a different size) is picked up by the next lookup.
  {
    QFile file(TempFile("English.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const QString text = "[language]\r\nSTART=Go on\r\n";
    file.write("\xFF\xFE", 2);
    file.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  }
  EXPECT_EQ(GetLangString("START", "x"), "Go on");
  // Gone: built-in texts.
  QFile::remove(TempFile("English.ini"));
  EXPECT_EQ(GetLangString("START", "x"), "x");
  // Extracting again restores the file's texts.
  ASSERT_TRUE(LoadLanguageFile(0));
  EXPECT_EQ(GetLangString("START", "x"), "START");
}

TEST_F(LangStringTest, LookupsFromManyThreadsWhileTheLanguageChanges) {
  std::atomic<bool> stop{false};
  std::atomic<int> bad{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 4; ++t) {
    readers.emplace_back([&] {
      while (!stop) {
        const QString text = GetLangString("Next", "NEXT");
        if (text.isEmpty()) ++bad;
      }
    });
  }
  for (int round = 0; round < 200; ++round) {
    const int language = round % vrx::i18n::kLanguageCount;
    currentLanguage = language;
    LoadLanguageFile(language);
  }
  stop = true;
  for (auto& t : readers) t.join();
  EXPECT_EQ(bad, 0);
}

// ---- bold markup -------------------------------------------------------------------------------------------

struct Run {
  const char* text;
  bool bold;
};

void ExpectRuns(const QString& text, std::initializer_list<Run> expected) {
  const QList<TextRun> runs = SplitBoldRuns(text);
  ASSERT_EQ(runs.size(), static_cast<qsizetype>(expected.size())) << text.toStdString();
  qsizetype i = 0;
  for (const Run& run : expected) {
    EXPECT_EQ(runs[i].text, QString::fromUtf8(run.text)) << text.toStdString();
    EXPECT_EQ(runs[i].bold, run.bold) << text.toStdString();
    ++i;
  }
}

TEST(SplitBoldRuns, CutsTextIntoNormalAndBoldRuns) {
  ExpectRuns("Then, click <br>\"Next\"</br> to format all mounted hard drives.",
             {{"Then, click ", false}, {"\"Next\"", true}, {" to format all mounted hard drives.", false}});
  ExpectRuns("plain text", {{"plain text", false}});
  ExpectRuns("a <br>bold to the end", {{"a ", false}, {"bold to the end", true}});  // unclosed
  ExpectRuns("<br>x</br> <br>y</br>", {{"x", true}, {"y", true}});                  // one blank dropped
  ExpectRuns("<br>x</br>  ", {{"x", true}, {"  ", false}});                          // two blanks kept
  ExpectRuns("<br> </br><br></br>", {});
  ExpectRuns("", {});
  ExpectRuns("a<br>b</br>c<br>d", {{"a", false}, {"b", true}, {"c", false}, {"d", true}});
}

}  // namespace
