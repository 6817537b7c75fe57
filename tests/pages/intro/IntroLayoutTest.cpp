// Geometry and texts of the welcome pages decided without a window: the Next/Back sizing rule, the reset
// button's two sizes, the note box's caption, and the licence agreement's order.
#include <gtest/gtest.h>

#include <QRect>
#include <QString>
#include <QStringList>
#include <ostream>

#include "pages/common/FrameLayout.h"
#include "pages/intro/IntroLayout.h"

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QRect& r, std::ostream* os) {
  *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}

namespace {

using namespace vrx;

TEST(FrameLayout, NextStartsAt448AndBackEndsAt410WithFortyPixelsAroundTheLabel) {
  for (int labelWidth : {0, 57, 120}) {
    const QRect next = frame::NextButtonRect(labelWidth);
    const QRect back = frame::BackButtonRect(labelWidth);
    EXPECT_EQ(next, QRect(448, 536, labelWidth + 40, 43));
    EXPECT_EQ(back.x() + back.width(), 410);
    EXPECT_EQ(back.size(), next.size());
    EXPECT_EQ(back.y(), 536);
  }
}

struct ResetCase {
  int labelWidth;
  QRect geometry;
  int pictureId;
};

class ResetButton : public testing::TestWithParam<ResetCase> {};

// Up to 88 pixels the label fits the plain 118-pixel picture; from 89 on the wide picture is centred on
// x = 309 - w / 2 (integer halving) and 30 pixels wider than the label.
TEST_P(ResetButton, SizesItselfToItsLabel) {
  const ResetCase& c = GetParam();
  const intro::ResetButtonLayout layout = intro::ResetButtonFor(c.labelWidth);
  EXPECT_EQ(layout.geometry, c.geometry);
  EXPECT_EQ(layout.pictureId, c.pictureId);
}

INSTANTIATE_TEST_SUITE_P(Widths, ResetButton,
                         testing::Values(ResetCase{0, QRect(265, 320, 118, 43), 3042},
                                         ResetCase{45, QRect(265, 320, 118, 43), 3042},
                                         ResetCase{88, QRect(265, 320, 118, 43), 3042},
                                         ResetCase{89, QRect(309 - 44, 320, 119, 43), 3046},
                                         ResetCase{96, QRect(261, 320, 126, 43), 3046},
                                         ResetCase{201, QRect(209, 320, 231, 43), 3046}));

struct NoteCase {
  const char* caption;
  const char* text;
  const char* expected;
};

class NoteText : public testing::TestWithParam<NoteCase> {};

// The note box draws its caption itself, so a text that repeats it would read "Note: Note: ...".
TEST_P(NoteText, DropsALeadingCopyOfTheCaption) {
  const NoteCase& c = GetParam();
  EXPECT_EQ(intro::NoteTextAfterCaption(QString::fromUtf8(c.caption), QString::fromUtf8(c.text)),
            QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Languages, NoteText,
    testing::Values(NoteCase{"Note:", "Note: Ensure that cameras ...", "Ensure that cameras ..."},
                    NoteCase{"注意：", "注意：启动 VRX-410Q 设置向导之前", "启动 VRX-410Q 设置向导之前"},
                    NoteCase{"Nota:", "Ensure that cameras ...", "Ensure that cameras ..."},  // no copy
                    NoteCase{"", "Note: kept", "Note: kept"},
                    NoteCase{"Note:", "Notes: kept whole", "Notes: kept whole"}));

TEST(Agreement, PiecesInKeyOrderWithTitleHeadingsAndParagraphs) {
  const auto& pieces = intro::AgreementPieces();
  QStringList keys;
  for (const auto& p : pieces) keys << QString::fromLatin1(p.key);
  const QStringList expected{"eula_01", "eula_02", "eula_03", "eula_04", "eula_05", "eula_06", "eula_07",
                             "eula_08", "eula_09", "eula_10", "eula_11", "eula_12", "eula_13", "eula_14",
                             "eula_15", "eula_16", "eula_16_1", "eula_17", "eula_18", "eula_19", "eula_20"};
  EXPECT_EQ(keys.join(' '), expected.join(' '));
  ASSERT_FALSE(pieces.empty());
  EXPECT_EQ(pieces[0].pixelSize, 18);
  EXPECT_TRUE(pieces[0].accent);
  for (size_t i = 1; i < pieces.size(); ++i) {
    const QString key = QString::fromLatin1(pieces[i].key);
    const int number = key.mid(5, 2).toInt();
    const bool heading = !key.contains("16_1") && number >= 5 && number % 2 == 1;
    EXPECT_EQ(pieces[i].pixelSize, 14) << key.toStdString();
    EXPECT_FALSE(pieces[i].accent) << key.toStdString();
    EXPECT_EQ(pieces[i].bold, heading) << key.toStdString();
  }
}

}  // namespace
