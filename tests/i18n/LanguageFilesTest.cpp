// The six language files the program carries: their encoding, their keys against English, and the
// markup and placeholders inside their values.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QString>

#include <set>
#include <string>
#include <vector>

#include "i18n/LanguageTable.h"
#include "QStringPrinter.h"
#include "i18n/ProfileReader.h"

using vrx::i18n::ProfileSection;

namespace {

QByteArray ResourceBytes(const char* fileName) {
  QFile file(QString(":/lang/") + fileName);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

ProfileSection Parse(const QByteArray& bytes) {
  return ProfileSection::FromBytes(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                                   u"language");
}

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

// The English file's keys, in file order.
std::vector<std::u16string> ExpectedEnglishKeys() {
  std::vector<std::u16string> keys = {
      u"verr_eng_num_char", u"START", u"Back", u"Next", u"Restart", u"About", u"about_log", u"pwd_show",
      u"pwd_hide", u"Searching device", u"Close",
      u"E-mail", u"Password", u"New Password", u"Confirm New Password", u"Confirm Password", u"Retype Password",
      u"First Name", u"Last Name", u"Cancel", u"_CANCEL", u"Skip", u"SKIP", u"OK", u"Apply", u"FINISH",
      u"IP Address", u"Mac Address", u"Model Name", u"Rescan", u"Waiting", u"Check Network Failed!",
      u"No device found!", u"No camera found!", u"RESET", u"Error", u"GO TO NVR", u"RETRY", u"Admin"};
  auto range = [&keys](const char* prefix, int first, int last) {
    for (int i = first; i <= last; ++i) {
      keys.push_back(QString("%1_%2").arg(prefix).arg(i, 2, 10, QChar('0')).toStdU16String());
    }
  };
  range("footer", 1, 12);
  range("about", 1, 2);
  range("home", 1, 7);
  range("intro", 1, 14);
  range("nvrsearch", 1, 7);
  range("nvrpwd", 1, 9);
  for (auto k : {u"SetupTimeZone_title", u"SetupTimeZone_01", u"SetupTimeZone_error", u"SetupTimeZone"}) {
    keys.emplace_back(k);
  }
  range("hddformat", 1, 16);
  range("camsearch", 1, 8);
  range("halvik", 1, 12);
  range("Summary", 1, 4);
  range("eula", 1, 16);
  keys.emplace_back(u"eula_16_1");
  range("eula", 17, 20);
  return keys;
}

TEST(LanguageFiles, EveryFileIsUtf16LeWithMarkAndCrLf) {
  for (const auto& language : vrx::i18n::kLanguages) {
    const QByteArray bytes = ResourceBytes(language.fileName);
    ASSERT_FALSE(bytes.isEmpty()) << language.fileName;
    EXPECT_TRUE(bytes.startsWith("\xFF\xFE")) << language.fileName;
    EXPECT_EQ(bytes.size() % 2, 0) << language.fileName;
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                            (bytes.size() - 2) / 2);
    EXPECT_EQ(text.count('\n'), text.count("\r\n")) << language.fileName;
    EXPECT_EQ(text.count('\r'), text.count("\r\n")) << language.fileName;
    EXPECT_TRUE(text.startsWith("[language]\r\n")) << language.fileName;
  }
}

// The product's keys come first, in their order; keys added since follow at the end of the file.
TEST(LanguageFiles, EnglishHasAllKeysInOrder) {
  const ProfileSection english = Parse(ResourceBytes("English.ini"));
  const std::vector<std::u16string> expected = ExpectedEnglishKeys();
  ASSERT_GE(english.size(), expected.size());
  EXPECT_EQ(std::vector<std::u16string>(english.keys().begin(), english.keys().begin() + expected.size()), expected);
  for (const auto& key : english.keys()) {
    EXPECT_EQ(english.Find(key)->empty(), key == u"footer_09") << Q(key).toStdString();
  }
}

// Which keys each translation lacks and carries instead of English's, on purpose.
struct Quirks {
  const char* fileName;
  std::set<std::u16string> missing;
  std::set<std::u16string> extra;
};

TEST(LanguageFiles, TranslationsCarryTheEnglishKeysExceptTheirQuirks) {
  const std::vector<Quirks> quirks = {
      {"Portuguese.ini", {u"SKIP"}, {u"\tSKIP"}},
      {"Russian.ini", {u"SKIP"}, {u"\tSKIP"}},
      {"Spanish.ini", {u"Confirm Password"}, {u"Confirm password"}},
      {"TChinese.ini", {u"Summary_04"}, {}},
      {"SChinese.ini", {}, {}},
  };
  const ProfileSection english = Parse(ResourceBytes("English.ini"));
  const std::set<std::u16string> englishKeys(english.keys().begin(), english.keys().end());
  for (const Quirks& q : quirks) {
    SCOPED_TRACE(q.fileName);
    const ProfileSection translation = Parse(ResourceBytes(q.fileName));
    std::set<std::u16string> missing, extra;
    for (const auto& key : englishKeys) {
      if (!translation.Find(key)) missing.insert(key);
    }
    for (const auto& key : translation.keys()) {
      if (!englishKeys.count(key)) extra.insert(key);
    }
    EXPECT_EQ(missing, q.missing);
    EXPECT_EQ(extra, q.extra);
  }
}

// Placeholders and bold markers are what the code relies on: a translation keeps the same ones, and
// every value but the deliberately empty one says something, differently from English where it should.
TEST(LanguageFiles, TranslationsKeepPlaceholdersAndMarkup) {
  static const QRegularExpression placeholder("\\{[0-3]\\}");
  const ProfileSection english = Parse(ResourceBytes("English.ini"));
  const auto markers = [](const QString& v) {
    std::multiset<QString> found;
    for (auto it = placeholder.globalMatch(v); it.hasNext();) found.insert(it.next().captured());
    found.insert(QString("<br>x%1").arg(v.count("<br>")));
    found.insert(QString("</br>x%1").arg(v.count("</br>")));
    return found;
  };
  const std::u16string verr = *english.Find(u"verr_eng_num_char");
  for (const auto& language : vrx::i18n::kLanguages) {
    SCOPED_TRACE(language.fileName);
    const ProfileSection translation = Parse(ResourceBytes(language.fileName));
    EXPECT_EQ(translation.Find(u"verr_eng_num_char"), verr);
    int translated = 0;
    for (const auto& key : translation.keys()) {
      const auto englishValue = english.Find(key);
      if (!englishValue) continue;
      const QString value = Q(*translation.Find(key));
      EXPECT_EQ(markers(value), markers(Q(*englishValue))) << Q(key).toStdString();
      EXPECT_EQ(value.isEmpty(), key == u"footer_09") << Q(key).toStdString();
      if (value != Q(*englishValue)) ++translated;
    }
    // Most texts differ from English in a translation (names like "OK" or "kelvaro" may not).
    if (language.index != 0) {
      EXPECT_GT(translated, 120) << language.fileName;
    }
  }
}

}  // namespace
