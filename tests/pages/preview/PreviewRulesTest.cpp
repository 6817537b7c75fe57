// The preview's window-free parts: where a JPEG ends in a growing buffer, the camera address, the decode size
// and the decoder itself.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pages/preview/JpegFrameEnd.h"
#include "pages/preview/PreviewDecode.h"
#include "pages/preview/PreviewRules.h"

using namespace vrx;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Fixture(const char* name) {
  QFile f(qEnvironmentVariable("VRX_SOURCE_DIR") + "/tests/pages/preview/fixtures/" + name);
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
  const QImage shown = DecodePreviewPicture(jpeg.data(), jpeg.size(), {320, 170}).image;
  ASSERT_EQ(shown.size(), QSize(320, 170));
  const auto near = [](QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 16 && std::abs(qGreen(a) - qGreen(b)) < 16 && std::abs(qBlue(a) - qBlue(b)) < 16;
  };
  EXPECT_TRUE(near(shown.pixel(60, 85), qRgb(0xC0, 0xC0, 0x00)));
  EXPECT_TRUE(near(shown.pixel(260, 85), qRgb(0x00, 0xC0, 0xC0)));

  const Bytes cut(jpeg.begin(), jpeg.begin() + 300);
  EXPECT_TRUE(DecodePreviewPicture(cut.data(), cut.size(), {320, 170}).image.isNull());
}

TEST(PreviewDecode, WhatACameraCanSend) {
  struct Case {
    QSize declared;
    bool allowed;
  };
  for (const Case& c : {Case{{1920, 1080}, true}, Case{{8192, 4882}, true}, Case{{8192, 8192}, false},
                        Case{{8193, 100}, false}, Case{{100, 8193}, false}, Case{{6400, 6400}, false},
                        Case{{30000, 30000}, false}, Case{{0, 1080}, false}}) {
    EXPECT_EQ(PictureSizeAllowed(c.declared), c.allowed) << c.declared.width() << "x" << c.declared.height();
  }
}

namespace {
// The hostile fixture with its frame header declaring another size (the fixture's script does the same).
Bytes Declaring(Bytes jpeg, int width, int height) {
  for (std::size_t pos = 2; pos + 9 <= jpeg.size();) {
    const std::uint8_t marker = jpeg[pos + 1];
    if (marker >= 0xC0 && marker <= 0xC2) {
      jpeg[pos + 5] = std::uint8_t(height >> 8), jpeg[pos + 6] = std::uint8_t(height);
      jpeg[pos + 7] = std::uint8_t(width >> 8), jpeg[pos + 8] = std::uint8_t(width);
      return jpeg;
    }
    pos += 2 + std::size_t(jpeg[pos + 2] << 8 | jpeg[pos + 3]);
  }
  return {};
}

long PeakMemoryKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}
}  // namespace

// A few KB of progressive JPEG whose header declares 30000 x 30000 asks a trusting decoder for gigabytes. It
// is refused from its header; a size a camera may declare but whose progressive buffers would not fit the
// decoder's memory limit is refused by that limit; an ordinary size still decodes.
TEST(PreviewDecode, APictureLargerThanACameraSendsIsRefusedBeforeDecoding) {
  const Bytes hostile = Fixture("hostile-30000.jpg");
  ASSERT_FALSE(hostile.empty()) << "fixture missing";
  ASSERT_LT(hostile.size(), 8192u);
  using Outcome = PreviewPicture::Outcome;
  struct Case {
    int width, height;
    Outcome outcome;
  };
  for (const Case& c : {Case{30000, 30000, Outcome::kTooLarge}, Case{8193, 64, Outcome::kTooLarge},
                        Case{7000, 5800, Outcome::kTooLarge}, Case{6000, 4000, Outcome::kTooLarge},
                        Case{1920, 1080, Outcome::kDecoded}}) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    const Bytes jpeg = Declaring(hostile, c.width, c.height);
    ASSERT_FALSE(jpeg.empty());
    const PreviewPicture picture = DecodePreviewPicture(jpeg.data(), jpeg.size(), {320, 170});
    EXPECT_EQ(picture.outcome, c.outcome);
    EXPECT_EQ(picture.declared, QSize(c.width, c.height));
    EXPECT_EQ(picture.image.isNull(), c.outcome != Outcome::kDecoded);
  }
  // The process never came near what the headers asked for (30000 x 30000 x 3 coefficients of 2 bytes).
  EXPECT_LT(PeakMemoryKb(), 150 * 1024);
}

// Closing the preview ends a decode in progress.
TEST(PreviewDecode, StopsWhenTold) {
  const Bytes jpeg = Declaring(Fixture("hostile-30000.jpg"), 1920, 1080);
  const std::atomic<bool> stopped{true};
  EXPECT_EQ(DecodePreviewPicture(jpeg.data(), jpeg.size(), {320, 170}, &stopped).outcome,
            PreviewPicture::Outcome::kStopped);
}

namespace {

// A progressive 4096 x 4096 picture of one flat grey, as Qt's encoder writes it.
Bytes FlatProgressive() {
  QImage grey(4096, 4096, QImage::Format_Grayscale8);
  grey.fill(128);
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpeg");
  writer.setProgressiveScanWrite(true);
  writer.write(grey);
  return Bytes(out.begin(), out.end());
}

// Where each scan of a picture ends: one past its entropy-coded data (the next marker), in file order.
std::vector<std::size_t> ScanEnds(const Bytes& jpeg) {
  std::vector<std::size_t> ends;
  for (std::size_t pos = 2; pos + 4 <= jpeg.size() && jpeg[pos + 1] != 0xD9;) {
    const bool scan = jpeg[pos + 1] == 0xDA;
    pos += 2 + std::size_t(jpeg[pos + 2] << 8 | jpeg[pos + 3]);
    if (!scan) continue;
    while (pos + 1 < jpeg.size() && !(jpeg[pos] == 0xFF && jpeg[pos + 1] != 0x00 && (jpeg[pos + 1] & 0xF8) != 0xD0)) ++pos;
    ends.push_back(pos);
  }
  return ends;
}

// The picture with scan `index` (with the tables written just before it) repeated `copies` times before its
// end: the decoder only warns about a scan it has seen, and takes each copy as more work. A camera never
// sends such a picture; a hostile one sends tens of thousands of tiny scans.
Bytes WithScanRepeated(const Bytes& jpeg, std::size_t index, int copies) {
  const auto ends = ScanEnds(jpeg);
  if (index == 0 || index >= ends.size()) return {};
  const Bytes unit(jpeg.begin() + std::ptrdiff_t(ends[index - 1]), jpeg.begin() + std::ptrdiff_t(ends[index]));
  Bytes out(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(ends.back()));
  for (int i = 0; i < copies; ++i) out.insert(out.end(), unit.begin(), unit.end());
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

std::chrono::nanoseconds ThreadCpu() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

}  // namespace

// A small file of thousands of tiny progressive scans passes every size limit and kept a decoder busy for a
// minute. Cheap scans are refused by their count, costly ones by the decode's time budget; either way within a
// second of CPU, while the honest picture they were made from still decodes.
TEST(PreviewDecode, APictureOfManyScansIsRefusedWithinASecondOfCpu) {
  const Bytes honest = FlatProgressive();
  const std::size_t scans = ScanEnds(honest).size();
  ASSERT_GE(scans, 4u);
  EXPECT_EQ(DecodePreviewPicture(honest.data(), honest.size(), {320, 170}).outcome, PreviewPicture::Outcome::kDecoded);
  struct Case {
    const char* name;
    std::size_t scan;
  };
  for (const Case c : {Case{"a first AC scan, 20000 times", 1}, Case{"the last refinement scan, 20000 times", scans - 1}}) {
    SCOPED_TRACE(c.name);
    const Bytes hostile = WithScanRepeated(honest, c.scan, 20000);
    ASSERT_FALSE(hostile.empty());
    ASSERT_LT(hostile.size(), 2'160'000u);  // within what the preview reads of one answer
    const auto before = ThreadCpu();
    const PreviewPicture picture = DecodePreviewPicture(hostile.data(), hostile.size(), {320, 170});
    const auto spent = ThreadCpu() - before;
    EXPECT_EQ(picture.outcome, PreviewPicture::Outcome::kTooCostly);
    EXPECT_TRUE(picture.image.isNull());
    EXPECT_LT(spent, std::chrono::seconds(1)) << std::chrono::duration_cast<std::chrono::milliseconds>(spent).count() << " ms";
    EXPECT_NE(RefusalReason(picture).find("4096 x 4096 pixels"), std::string::npos) << RefusalReason(picture);
  }
}
