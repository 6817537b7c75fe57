// Every key the program asks for is carried by all six language files, so no text stays English by accident.
// The keys are read from the sources themselves (app/, i18n/, pages/, ui/ under $VRX_SOURCE_DIR) when the
// test runs, so a new lookup is checked without anyone listing it here:
//  - the first argument of GetLangString(...) and of the pages' Tr(...) shorthand, when it is a literal
//    (also wrapped in QStringLiteral, QLatin1String, QString::fromLatin1, ...);
//  - every literal shaped like a numbered key ("home_03", "eula_16_1", "camsearch_09"), wherever it stands:
//    tables of keys and functions that answer with a key hold them;
//  - the first literal of the rows of a table of keys ({"Model Name", ...}) in a file that declares one
//    (a field `const char* key` or `...Key`).
// The gaps the language files keep on purpose are listed below with their reasons.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "i18n/LanguageTable.h"
#include "i18n/ProfileReader.h"

namespace fs = std::filesystem;
using vrx::i18n::ProfileSection;

namespace {

// Keys that a language file leaves out on purpose; the lookup shows the built-in English text there.
struct KnownGap {
  const char* file;  // language file name without extension, or "*" for every file
  const char* key;
  const char* why;
};
const KnownGap kKnownGaps[] = {
    {"Portuguese", "SKIP", "the file carries the key with a leading tab (\"\\tSKIP\")"},
    {"Russian", "SKIP", "the file carries the key with a leading tab (\"\\tSKIP\")"},
    {"Spanish", "Confirm Password", "the file spells it \"Confirm password\""},
    {"TChinese", "Summary_04", "the file has no such line"},
    {"*", " No.", "the camera list's number column stays \"No.\" in every language"},
    {"*", "NVR", "the summary's heading is the product's own word"},
    {"*", "kelvaro", "the summary's heading is the cloud service's name"},
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

fs::path SourceDir() {
  const char* dir = std::getenv("VRX_SOURCE_DIR");
  return dir ? fs::path(dir) : fs::path(VRX_SOURCE_DIR_DEFAULT);
}

// Text of a plain C++ string literal body (the keys hold no escapes but \t and \").
std::string Unescape(const std::string& body) {
  std::string out;
  for (size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '\\' && i + 1 < body.size()) {
      const char next = body[++i];
      out += next == 't' ? '\t' : next == 'n' ? '\n' : next;
    } else {
      out += body[i];
    }
  }
  return out;
}

// The keys one source text asks for (see the rules at the top).
std::set<std::string> KeysAskedFor(const std::string& source) {
  static const std::string kLiteral = R"re("((?:[^"\\\n]|\\.)*)")re";
  static const std::regex kLookup(R"re(\b(?:GetLangString|Tr)\(\s*(?:[A-Za-z_][\w:]*\(\s*)?u?)re" + kLiteral);
  static const std::regex kNumberedKey(R"re("([A-Za-z][A-Za-z]*_(?:[A-Za-z]+_)?\d\d(?:_\d)?)")re");
  static const std::regex kKeyField(R"re(const\s+char\s*\*\s*(?:key|\w+Key)\s*;)re");
  static const std::regex kTableRow(R"re(\{\s*)re" + kLiteral + R"re(\s*,)re");

  std::set<std::string> keys;
  auto collect = [&](const std::regex& pattern) {
    for (std::sregex_iterator it(source.begin(), source.end(), pattern), end; it != end; ++it)
      keys.insert(Unescape((*it)[1].str()));
  };
  collect(kLookup);
  collect(kNumberedKey);
  if (std::regex_search(source, kKeyField)) collect(kTableRow);
  keys.erase("");  // an empty key means "no lookup" in the column tables
  return keys;
}

// key -> the source files (relative) that ask for it.
std::map<std::string, std::set<std::string>> KeysOfTheProgram() {
  std::map<std::string, std::set<std::string>> keys;
  const fs::path root = SourceDir();
  for (const char* dir : {"app", "i18n", "pages", "ui"}) {
    for (const auto& entry : fs::recursive_directory_iterator(root / dir)) {
      const std::string ext = entry.path().extension().string();
      if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
      for (const std::string& key : KeysAskedFor(ReadFile(entry.path())))
        keys[key].insert(fs::relative(entry.path(), root).string());
    }
  }
  return keys;
}

ProfileSection LanguageFile(const char* name) {
  return ProfileSection::FromBytes(ReadFile(SourceDir() / "res/lang/src" / (std::string(name) + ".txt")),
                                   u"language");
}

std::u16string U16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

bool Listed(const KnownGap* begin, const KnownGap* end, const std::string& file, const std::string& key) {
  for (const KnownGap* gap = begin; gap != end; ++gap)
    if ((std::string(gap->file) == "*" || gap->file == file) && gap->key == key) return true;
  return false;
}

std::string FileStem(const char* fileName) { return fs::path(fileName).stem().string(); }

TEST(LanguageKeys, TheScanFindsEveryKindOfLookup) {
  const std::string source = R"src(
    struct Row { const char* titleKey; const char* english; };
    constexpr Row kRows[] = {{"Model Name", "Model"}, {"", "No."}};
    title_ = GetLangString("home_01", "Welcome");
    skip_ = GetLangString(QStringLiteral("_SKIP"), QStringLiteral("SKIP"));
    lines << Tr("Cameras", "Cameras");
    if (bad) return QStringLiteral("camsearch_09");
    v.push_back({"eula_16_1", "", 14});
    GetLangString(key, key);
    log.Write("wizard", "started");
  )src";
  EXPECT_EQ(KeysAskedFor(source), (std::set<std::string>{"Model Name", "home_01", "_SKIP", "Cameras",
                                                          "camsearch_09", "eula_16_1"}));
  // Rows of a table that holds no keys are not keys.
  EXPECT_TRUE(KeysAskedFor(R"src(constexpr std::array<std::string_view, 2> kOptions{"-platform", "-style"};
                               std::vector<Pair> pairs{{"-display", "x"}};)src")
                  .empty());
}

TEST(LanguageKeys, EveryKeyTheProgramAsksForIsInAllSixFiles) {
  const auto keys = KeysOfTheProgram();
  ASSERT_GT(keys.size(), 100u) << "the scan found too few keys; is VRX_SOURCE_DIR right?";
  for (const vrx::i18n::LanguageInfo& language : vrx::i18n::kLanguages) {
    const std::string file = FileStem(language.fileName);
    const ProfileSection section = LanguageFile(file.c_str());
    ASSERT_FALSE(section.empty()) << file;
    for (const auto& [key, where] : keys) {
      if (section.Find(U16(key))) continue;
      if (Listed(std::begin(kKnownGaps), std::end(kKnownGaps), file, key)) continue;
      ADD_FAILURE() << file << ".txt has no \"" << key << "\", asked for in " << *where.begin();
    }
  }
}

// A listed gap that the files have closed makes the list lie: take the line off.
TEST(LanguageKeys, EveryListedGapIsStillAGap) {
  const auto keys = KeysOfTheProgram();
  auto stillMissing = [](const KnownGap& gap) {
    bool missing = false;
    for (const vrx::i18n::LanguageInfo& language : vrx::i18n::kLanguages) {
      const std::string file = FileStem(language.fileName);
      if (std::string(gap.file) != "*" && gap.file != file) continue;
      const bool carried = LanguageFile(file.c_str()).Find(U16(gap.key)).has_value();
      if (std::string(gap.file) != "*") EXPECT_FALSE(carried) << file << " now carries \"" << gap.key << "\"";
      missing = missing || !carried;
    }
    return missing;
  };
  for (const KnownGap& gap : kKnownGaps) EXPECT_TRUE(stillMissing(gap)) << "every file carries \"" << gap.key << "\"";
}

}  // namespace
