// The language-file reader on small fixture files: encodings, line ends, comments, sections, trimming,
// first match, cuts, and input that is not a language file at all.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "i18n/LanguageTable.h"
#include "i18n/ProfileReader.h"

using vrx::i18n::ProfileSection;

namespace {

std::string Utf16le(std::u16string_view text, bool bom = true) {
  std::string out = bom ? std::string("\xFF\xFE", 2) : std::string();
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

std::string Utf16be(std::u16string_view text) {
  std::string out("\xFE\xFF", 2);
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c >> 8));
    out.push_back(static_cast<char>(c & 0xFF));
  }
  return out;
}

struct ReaderCase {
  const char* name;
  std::string bytes;
  std::u16string key;
  std::optional<std::u16string> expected;  // nothing: the key is not found
};

std::ostream& operator<<(std::ostream& os, const ReaderCase& c) { return os << c.name; }

class ProfileReaderCases : public testing::TestWithParam<ReaderCase> {};

TEST_P(ProfileReaderCases, FindsExactlyWhatTheFileSays) {
  const ReaderCase& c = GetParam();
  const auto section = ProfileSection::FromBytes(c.bytes, u"language");
  EXPECT_EQ(section.Find(c.key), c.expected);
}

const std::u16string kHead = u"[language]\r\n";

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ProfileReaderCases,
    testing::Values(
        ReaderCase{"plain_entry", Utf16le(kHead + u"START=Go\r\n"), u"START", u"Go"},
        ReaderCase{"blanks_around_key_and_equals", Utf16le(kHead + u"  Searching device  =  Busy now  \r\n"),
                   u"Searching device", u"Busy now"},
        ReaderCase{"lookup_key_blanks_ignored", Utf16le(kHead + u"camsearch_03=How\r\n"), u"camsearch_03 ", u"How"},
        ReaderCase{"empty_value_is_a_value", Utf16le(kHead + u"footer_09=\r\n"), u"footer_09", u""},
        ReaderCase{"value_keeps_inner_equals", Utf16le(kHead + u"A=b=c\r\n"), u"A", u"b=c"},
        ReaderCase{"comment_line_skipped", Utf16le(kHead + u";A=comment\r\n  ; B=indented\r\nA=real\r\n"), u"A",
                   u"real"},
        ReaderCase{"indented_comment_is_no_key", Utf16le(kHead + u"  ; B=indented\r\n"), u"; B", std::nullopt},
        ReaderCase{"first_match_wins", Utf16le(kHead + u"A=first\r\nA=second\r\n"), u"A", u"first"},
        ReaderCase{"keys_are_case_sensitive", Utf16le(kHead + u"Skip=Skip\r\nSKIP=SKIP\r\n"), u"SKIP", u"SKIP"},
        ReaderCase{"tab_led_key_is_another_key", Utf16le(kHead + u"\tSKIP=X\r\n"), u"SKIP", std::nullopt},
        ReaderCase{"other_section_ignored", Utf16le(u"[other]\r\nA=1\r\n[language]\r\nB=2\r\n"), u"A", std::nullopt},
        ReaderCase{"section_after_other", Utf16le(u"[other]\r\nA=1\r\n[language]\r\nB=2\r\n"), u"B", u"2"},
        ReaderCase{"section_name_case_and_blanks", Utf16le(u"[ Language ]\r\nA=1\r\n"), u"A", u"1"},
        ReaderCase{"entry_before_any_section", Utf16le(u"A=1\r\n[language]\r\n"), u"A", std::nullopt},
        ReaderCase{"line_without_equals_ignored", Utf16le(kHead + u"A\r\nA=1\r\n"), u"A", u"1"},
        ReaderCase{"lf_only", Utf16le(u"[language]\nA=1\nB=2\n"), u"B", u"2"},
        ReaderCase{"lone_cr", Utf16le(u"[language]\rA=1\rB=2"), u"A", u"1"},
        ReaderCase{"mixed_line_ends", Utf16le(u"[language]\r\n\r\rA=1\n\r\nB=2"), u"B", u"2"},
        ReaderCase{"no_final_line_end", Utf16le(kHead + u"A=last"), u"A", u"last"},
        ReaderCase{"nul_cuts_value", Utf16le(kHead + std::u16string(u"A=ab\0cd\r\n", 9)), u"A", u"ab"},
        ReaderCase{"odd_byte_count", Utf16le(kHead + u"A=1\r\n") + "\x41", u"A", u"1"},
        ReaderCase{"odd_byte_count_mid_value", Utf16le(kHead + u"A=xy").substr(0, 2 + 2 * 15 + 1), u"A", u"x"},
        ReaderCase{"utf16be_with_mark", Utf16be(kHead + u"A=\u00e9\r\n"), u"A", u"\u00e9"},
        ReaderCase{"utf8_with_mark", "\xEF\xBB\xBF[language]\r\nA=Ol\xC3\xA1\r\n", u"A", u"Ol\u00e1"},
        ReaderCase{"utf8_without_mark", "[language]\nA=\xE4\xB8\xAD\n", u"A", u"\u4e2d"},
        ReaderCase{"invalid_utf8_replaced", "[language]\nA=\xC3\x28\xE4\xB8\n", u"A", u"\ufffd(\ufffd\ufffd"},
        ReaderCase{"utf16_without_mark_is_not_read_as_utf16", Utf16le(kHead + u"A=1\r\n", false), u"A",
                   std::nullopt},
        ReaderCase{"empty_file", "", u"A", std::nullopt},
        ReaderCase{"mark_only", "\xFF\xFE", u"A", std::nullopt},
        ReaderCase{"garbage", std::string("\xFF\xFE\x00\xD8\x5B\x00=\x00\x00\xDC\xFF", 11), u"A", std::nullopt},
        ReaderCase{"unclosed_section_header", Utf16le(u"[language\r\nA=1\r\n"), u"A", std::nullopt}),
    [](const testing::TestParamInfo<ReaderCase>& info) { return std::string(info.param.name); });

TEST(ProfileReader, CutsValuesAt4095CodeUnitsWithoutSplittingAPair) {
  const std::u16string longValue(100000, u'x');  // one huge line
  const auto plain = ProfileSection::FromBytes(Utf16le(kHead + u"A=" + longValue + u"\r\nB=after\r\n"), u"language");
  EXPECT_EQ(plain.Find(u"A"), std::u16string(vrx::i18n::kMaxValueLength, u'x'));
  EXPECT_EQ(plain.Find(u"B"), u"after");

  // A surrogate pair across the limit is dropped whole rather than leaving its first half.
  const std::u16string straddling = std::u16string(vrx::i18n::kMaxValueLength - 1, u'x') + u"\U0001F600";
  const auto pair = ProfileSection::FromBytes(Utf16le(kHead + u"A=" + straddling + u"\r\n"), u"language");
  EXPECT_EQ(pair.Find(u"A"), std::u16string(vrx::i18n::kMaxValueLength - 1, u'x'));
}

TEST(ProfileReader, KeepsKeysInFileOrderOncePerKey) {
  const auto section = ProfileSection::FromBytes(Utf16le(kHead + u"b=1\r\na=2\r\nb=3\r\n"), u"language");
  EXPECT_EQ(section.keys(), (std::vector<std::u16string>{u"b", u"a"}));
}

TEST(ProfileReader, FuzzEntrySurvivesEveryPrefixOfAFile) {
  const std::string file = Utf16le(kHead + u";x\r\nA = 1\r\n[b]\rB=\u4e2d\n") + "\xEF\xBB\xBF\xC3";
  for (size_t n = 0; n <= file.size(); ++n) {
    vrx::i18n::FuzzProfileReader(reinterpret_cast<const uint8_t*>(file.data()), n);
  }
}

TEST(LanguageTable, OutOfRangeLanguageBehavesAsEnglish) {
  struct Row {
    int language;
    const char* code;
    int number;
  };
  for (const Row& row : {Row{0, "en", 4}, Row{1, "pt", 16}, Row{2, "ru", 19}, Row{3, "es", 5}, Row{4, "zh_TW", 23},
                         Row{5, "zh_CN", 22}, Row{6, "en", 4}, Row{-1, "en", 4}}) {
    currentLanguage = row.language;
    EXPECT_EQ(GetLangCode(), row.code) << row.language;
    EXPECT_EQ(GetLangNumber(), row.number) << row.language;
  }
  currentLanguage = 0;
}

}  // namespace
