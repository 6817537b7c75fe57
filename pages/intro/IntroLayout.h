#pragma once
// What the welcome pages and their help popups decide without a window: the reset button's two sizes, the
// note box's text, and the pieces of the licence agreement in the order they are shown.

#include <QRect>
#include <QString>
#include <vector>

namespace vrx::intro {

// The reset help's button: the plain action picture for a short label, the wide one for a long label.
struct ResetButtonLayout {
  QRect geometry;
  int pictureId;  // the same picture for all four states
};
inline constexpr int kResetNarrowLimit = 89;  // labels narrower than this fit the 118-pixel picture
ResetButtonLayout ResetButtonFor(int labelWidth);

// The note's text without a leading copy of its caption: every language file starts "home_03" with the
// caption of "home_06" ("Note: Ensure ..."), which the note box already shows in bold before the text.
QString NoteTextAfterCaption(const QString& caption, const QString& text);

// One piece of the licence agreement: its language key, its built-in English text (the headings; the
// paragraphs have none of their own) and how it is drawn.
struct AgreementPiece {
  const char* key;
  const char* english;
  int pixelSize;
  bool bold;
  bool accent;  // the title's accent colour, else dark grey
};
// "eula_01" (title), "eula_02".."eula_04", then headings (odd keys "eula_05".."eula_19") each followed by its
// paragraph, "eula_16_1" as the second paragraph of section 6, "eula_20" last.
const std::vector<AgreementPiece>& AgreementPieces();

}  // namespace vrx::intro
