#include "pages/intro/IntroLayout.h"

namespace vrx::intro {

ResetButtonLayout ResetButtonFor(int labelWidth) {
  if (labelWidth < kResetNarrowLimit) return {QRect(265, 320, 118, 43), 3042};
  return {QRect(309 - labelWidth / 2, 320, labelWidth + 30, 43), 3046};
}

QString NoteTextAfterCaption(const QString& caption, const QString& text) {
  const QString trimmedCaption = caption.trimmed();
  if (trimmedCaption.isEmpty() || !text.startsWith(trimmedCaption)) return text;
  return text.mid(trimmedCaption.size()).trimmed();
}

const std::vector<AgreementPiece>& AgreementPieces() {
  static const std::vector<AgreementPiece> pieces = [] {
    std::vector<AgreementPiece> v;
    v.push_back({"eula_01", "End User License Agreement", 18, false, true});
    for (const char* key : {"eula_02", "eula_03", "eula_04"}) v.push_back({key, "", 14, false, false});
    struct Section {
      const char* heading;
      const char* english;
      const char* paragraph;
    };
    static constexpr Section kSections[] = {
        {"eula_05", "1. License.", "eula_06"},
        {"eula_07", "2. Restrictions.", "eula_08"},
        {"eula_09", "3. Privacy of Setup Data.", "eula_10"},
        {"eula_11", "4. kelvaro Service.", "eula_12"},
        {"eula_13", "5. Updates and Support.", "eula_14"},
        {"eula_15", "6. Disclaimer of Warranty.", "eula_16"},
        {nullptr, nullptr, "eula_16_1"},
        {"eula_17", "7. Limitation of Liability.", "eula_18"},
        {"eula_19", "8. Termination and General Terms.", "eula_20"},
    };
    for (const Section& s : kSections) {
      if (s.heading) v.push_back({s.heading, s.english, 14, true, false});
      v.push_back({s.paragraph, "", 14, false, false});
    }
    return v;
  }();
  return pieces;
}

}  // namespace vrx::intro
