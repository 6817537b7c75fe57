// The preview's window-free parts: where a JPEG ends in a growing buffer, the camera address, the decode size
// and the decoder itself.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pages/cameras/JpegFrameEnd.h"
#include "pages/cameras/PreviewJob.h"
#include "pages/cameras/PreviewRules.h"

using namespace vrx;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Fixture(const char* name) {
  QFile f(qEnvironmentVariable("VRX_SOURCE_DIR") + "/tests/pages/cameras/fixtures/" + name);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray all = f.readAll();
  return Bytes(all.begin(), all.end());
}

Bytes EncodeJpeg(const QImage& image) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPEG", 85);
  return Bytes(out.begin(), out.end());
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// Feeds the buffer to a fresh walk `piece` bytes at a time, as the reads arrive.
std::optional<JpegFrameEnd::Picture> Walk(const Bytes& data, std::size_t piece) {
  JpegFrameEnd end;
  for (std::size_t fill = std::min(piece, data.size());; fill = std::min(fill + piece, data.size())) {
    if (auto picture = end.Scan(data.data(), fill)) return picture;
    if (fill == data.size()) return std::nullopt;
  }
}

// A hand-made picture: start, one table segment, a scan header, entropy bytes, end.
Bytes Handmade(const Bytes& entropy) {
  Bytes b = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x04, 0xFF, 0xD9,  // the table segment holds a false end marker
             0xFF, 0xDA, 0x00, 0x03, 0x01};
  b.insert(b.end(), entropy.begin(), entropy.end());
  return b;
}

struct EndCase {
  const char* name;
  Bytes data;
  std::optional<std::size_t> begin, end;  // nullopt: no whole picture
};

std::vector<EndCase> EndCases() {
  const Bytes exif = Fixture("exif-thumbnail.jpg");
  const Bytes first = EncodeJpeg(QImage(64, 48, QImage::Format_RGB32));
  QImage blue(32, 32, QImage::Format_RGB32);
  blue.fill(Qt::blue);
  const Bytes second = EncodeJpeg(blue);
  const Bytes junk = {'-', '-', 0xFF, 0x00, 0xFF, 0xD9, '\r', '\n'};
  return {
      // A camera JPEG with an EXIF thumbnail: its own end marker sits inside APP1, long before the picture's.
      {"exif thumbnail", exif, 0, exif.size()},
      {"two pictures in one answer", Join({first, second}), 0, first.size()},
      {"bytes before the picture", Join({junk, first}), junk.size(), junk.size() + first.size()},
      {"stuffed bytes, restart markers and fill",
       Handmade({0x12, 0xFF, 0x00, 0xD9, 0xFF, 0xD3, 0x56, 0xFF, 0xFF, 0xD9, 0xAA}), 0, 23},
      {"a marker segment after the scan", Handmade({0x12, 0xFF, 0xC4, 0x00, 0x04, 0xFF, 0xD9, 0xFF, 0xD9}), 0, 22},
      {"cut off inside the scan", Handmade({0x12, 0x34, 0xFF, 0x00}), std::nullopt, std::nullopt},
      {"cut off inside the thumbnail", Bytes(exif.begin(), exif.begin() + 2000), std::nullopt, std::nullopt},
      {"no picture at all", Bytes{'4', '0', '4', 0xFF, 0xD9}, std::nullopt, std::nullopt},
  };
}

}  // namespace

TEST(JpegFrameEnd, FindsThePictureWhicheverWayTheBytesArrive) {
  ASSERT_FALSE(Fixture("exif-thumbnail.jpg").empty()) << "fixture missing";
  for (const EndCase& c : EndCases()) {
    for (std::size_t piece : {c.data.size(), std::size_t(1), std::size_t(7), std::size_t(8200)}) {
      SCOPED_TRACE(std::string(c.name) + ", pieces of " + std::to_string(piece));
      const auto picture = Walk(c.data, piece);
      ASSERT_EQ(picture.has_value(), c.end.has_value());
      if (!picture) continue;
      EXPECT_EQ(picture->begin, *c.begin);
      EXPECT_EQ(picture->end, *c.end);
    }
  }
}

TEST(JpegFrameEnd, LooksOnlyAtBytesThatArrivedSinceTheLastCall) {
  // Inside a long segment the walk jumps by the segment's length: bytes it has passed are never read again,
  // so a later call must not depend on them.
  Bytes data = Fixture("exif-thumbnail.jpg");
  ASSERT_GT(data.size(), 4000u);
  JpegFrameEnd end;
  ASSERT_FALSE(end.Scan(data.data(), 3000));
  const std::size_t examined = end.examined();
  EXPECT_GE(examined, 2990u);  // all but a marker whose second byte has not come
  std::fill(data.begin() + 100, data.begin() + 2990, 0xFF);  // what it has passed over no longer matters
  const auto picture = end.Scan(data.data(), data.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->end, data.size());
}

TEST(PreviewTarget, HostAndPortFromTheAddress) {
  struct Case {
    const char* address;
    const char* host;
    int port;
  };
  for (const Case& c : {Case{"127.0.26.2:8080", "127.0.26.2", 8080}, Case{"127.0.26.1:0", "127.0.26.1", 80},
                        Case{"127.0.26.1", "127.0.26.1", 80}, Case{"127.0.26.1:", "127.0.26.1", 80},
                        Case{"cam:http", "cam", 80}, Case{"cam:70000", "cam", 80}, Case{"cam:81/x", "cam", 81}}) {
    SCOPED_TRACE(c.address);
    const PreviewTarget t = PreviewTargetFor(QString::fromLatin1(c.address));
    EXPECT_EQ(t.host, c.host);
    EXPECT_EQ(t.port, c.port);
  }
}

TEST(PreviewDecode, TheDecoderScalesAsFarAsTheWindowAllows) {
  struct Case {
    QSize picture, shown, decoded;
  };
  for (const Case& c : {Case{{1920, 1080}, {320, 170}, {480, 270}}, Case{{640, 360}, {320, 170}, {320, 180}},
                        Case{{1921, 1081}, {320, 170}, {481, 271}}, Case{{2560, 1440}, {320, 170}, {320, 180}},
                        Case{{320, 170}, {320, 170}, {320, 170}}, Case{{100, 50}, {320, 170}, {100, 50}},
                        Case{{1920, 1080}, {640, 340}, {960, 540}}}) {
    EXPECT_EQ(JpegDecodeSize(c.picture, c.shown), c.decoded) << c.picture.width() << "x" << c.picture.height();
  }
}

TEST(PreviewDecode, AFullHdSnapshotArrivesAtTheWindowsSize) {
  QImage halves(1920, 1080, QImage::Format_RGB32);
  halves.fill(QColor(0xC0, 0xC0, 0x00));
  for (int y = 0; y < 1080; ++y)
    for (int x = 960; x < 1920; ++x) halves.setPixel(x, y, qRgb(0x00, 0xC0, 0xC0));
  const Bytes jpeg = EncodeJpeg(halves);
  const QImage shown = DecodePreviewPicture(jpeg.data(), jpeg.size(), {320, 170});
  ASSERT_EQ(shown.size(), QSize(320, 170));
  const auto near = [](QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 16 && std::abs(qGreen(a) - qGreen(b)) < 16 && std::abs(qBlue(a) - qBlue(b)) < 16;
  };
  EXPECT_TRUE(near(shown.pixel(60, 85), qRgb(0xC0, 0xC0, 0x00)));
  EXPECT_TRUE(near(shown.pixel(260, 85), qRgb(0x00, 0xC0, 0xC0)));

  const Bytes cut(jpeg.begin(), jpeg.begin() + 300);
  EXPECT_TRUE(DecodePreviewPicture(cut.data(), cut.size(), {320, 170}).isNull());
}
