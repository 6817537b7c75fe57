#include <gtest/gtest.h>

#include <cmath>

#include "app/ShadowBitmap.h"

using namespace vrx;

namespace {
int KernelAt(const ShadowParams& p, int x, int y) {
  const int side = 2 * ShadowBitmap::KernelRadius(p) + 1;
  return ShadowBitmap::KernelAlpha(p)[std::size_t(y * side + x)];
}
}  // namespace

struct KernelCase {
  int darkness, sharpness, size;
  int x, y;  // cell in the kernel
  int alpha; // computed by hand from (1 - (d - c) / (sharpness + 1)) * darkness
};

class KernelTest : public ::testing::TestWithParam<KernelCase> {};

TEST_P(KernelTest, MatchesHandComputedAlpha) {
  const KernelCase& c = GetParam();
  ShadowParams p;
  p.darkness = c.darkness;
  p.sharpness = c.sharpness;
  p.size = c.size;
  EXPECT_EQ(KernelAt(p, c.x, c.y), c.alpha) << "cell " << c.x << "," << c.y;
}

// The frame's parameters: k = 10, side 21, centre (10,10), no full-dark core (c = 0).
// A wider shadow than edge (size 10, sharpness 4): k = 10, c = 6, fully dark within distance 6.
INSTANTIATE_TEST_SUITE_P(
    Cells, KernelTest,
    ::testing::Values(KernelCase{150, 10, 10, 10, 10, 150},  // d = 0
                      KernelCase{150, 10, 10, 10, 9, 136},   // d = 1: 136.36
                      KernelCase{150, 10, 10, 15, 10, 82},   // d = 5: 81.82
                      KernelCase{150, 10, 10, 3, 3, 15},     // d = 9.90: 15.01
                      KernelCase{150, 10, 10, 10, 0, 14},    // d = 10 = k: 13.64, still inside
                      KernelCase{150, 10, 10, 0, 0, 0},      // d = 14.1 > k
                      KernelCase{150, 10, 10, 2, 3, 0},      // d = 10.6 > k
                      KernelCase{200, 4, 10, 13, 10, 200},   // d = 3 < c
                      KernelCase{200, 4, 10, 18, 10, 120},   // d = 8: (1 - 2/5) * 200
                      KernelCase{200, 4, 10, 20, 10, 40}));  // d = 10: (1 - 4/5) * 200

struct PixelCase {
  int x, y, alpha;
};

class FrameShadowTest : public ::testing::TestWithParam<PixelCase> {
 protected:
  static const QImage& Image() {
    static const QImage image = ShadowBitmap::Render(QSize(874, 654), ShadowParams{});
    return image;
  }
};

TEST_P(FrameShadowTest, AlphaAroundTheCore) {
  const PixelCase& c = GetParam();
  EXPECT_EQ(qAlpha(Image().pixel(c.x, c.y)), c.alpha) << c.x << "," << c.y;
}

// The core is (10,10)..(863,643); each pixel takes the kernel value of its distance to the nearest core pixel.
INSTANTIATE_TEST_SUITE_P(
    Pixels, FrameShadowTest,
    ::testing::Values(PixelCase{9, 300, 136}, PixelCase{5, 300, 82}, PixelCase{0, 300, 14},   // left edge
                      PixelCase{868, 300, 82}, PixelCase{437, 0, 14}, PixelCase{437, 653, 14}, // right, top, bottom
                      PixelCase{3, 3, 15}, PixelCase{0, 0, 0}, PixelCase{873, 653, 0},         // corners
                      PixelCase{866, 646, 92},                                                 // d = 4.24
                      PixelCase{10, 10, 0}, PixelCase{437, 327, 0}, PixelCase{863, 643, 0}));  // core cleared

TEST(ShadowBitmap, PremultipliedColour) {
  ShadowParams p;
  p.colour = QColor(255, 0, 0);
  const QImage image = ShadowBitmap::Render(QSize(874, 654), p);
  EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
  const QRgb px = image.pixel(5, 300);  // pixel() un-premultiplies; read the raw word
  const QRgb raw = reinterpret_cast<const QRgb*>(image.constScanLine(300))[5];
  EXPECT_EQ(qAlpha(px), 82);
  EXPECT_EQ(qRed(raw), 255 * 82 / 255);
  EXPECT_EQ(qGreen(raw), 0);
}

// A blurred edge wider than the shadow erodes the core first: the darkest pixels move inwards.
TEST(ShadowBitmap, ErosionWhenSharpnessExceedsSize) {
  ShadowParams p;
  p.sharpness = 12;  // two erosion steps, k = 12
  const QImage image = ShadowBitmap::Render(QSize(874, 654), p);
  // Nearest eroded core pixel to (9, 300) is (12, 300): d = 3, (1 - 3/13) * 150 = 115.4.
  EXPECT_EQ(qAlpha(image.pixel(9, 300)), 115);
  EXPECT_EQ(qAlpha(image.pixel(10, 300)), 0);  // the core itself stays clear
}

TEST(ShadowBitmap, AnchorsAndErosionOfAnIrregularCore) {
  // Rows 2..4 span x 1..8; row 5 spans 3..5; rows 0, 1 and 6+ are empty.
  const QRegion core = QRegion(1, 2, 8, 3) + QRegion(3, 5, 3, 1);
  const auto rows = ShadowBitmap::Anchors(core, 8);
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_FALSE(rows[1]);
  EXPECT_EQ(rows[2], std::make_pair(1, 8));
  EXPECT_EQ(rows[5], std::make_pair(3, 5));
  EXPECT_FALSE(rows[6]);

  const auto eroded = ShadowBitmap::Erode(rows);
  EXPECT_FALSE(eroded[2]);                        // a neighbour row is empty
  EXPECT_EQ(eroded[3], std::make_pair(2, 7));     // shrunk by one on each side
  EXPECT_EQ(eroded[4], std::make_pair(4, 4));     // limited by the narrow row below
  EXPECT_FALSE(eroded[5]);
}
