#include "JpegTestPattern.h"

#include <cstdio>  // jpeglib.h needs FILE
#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <ctime>
#include <map>

namespace sim {
namespace {
// A 5x7 pixel font: each glyph is seven rows of five bits, most significant bit on the left.
const std::map<char, std::array<uint8_t, 7>> &font() {
  static const std::map<char, std::array<uint8_t, 7>> glyphs = {
      {'0', {14, 17, 19, 21, 25, 17, 14}}, {'1', {4, 12, 4, 4, 4, 4, 14}},     {'2', {14, 17, 1, 2, 4, 8, 31}},
      {'3', {30, 1, 1, 14, 1, 1, 30}},     {'4', {2, 6, 10, 18, 31, 2, 2}},    {'5', {31, 16, 30, 1, 1, 17, 14}},
      {'6', {6, 8, 16, 30, 17, 17, 14}},   {'7', {31, 1, 2, 4, 8, 8, 8}},      {'8', {14, 17, 17, 14, 17, 17, 14}},
      {'9', {14, 17, 17, 15, 1, 2, 12}},   {'A', {14, 17, 17, 31, 17, 17, 17}}, {'B', {30, 17, 17, 30, 17, 17, 30}},
      {'C', {14, 17, 16, 16, 16, 17, 14}}, {'D', {28, 18, 17, 17, 17, 18, 28}}, {'E', {31, 16, 16, 30, 16, 16, 31}},
      {'F', {31, 16, 16, 30, 16, 16, 16}}, {'G', {14, 17, 16, 23, 17, 17, 15}}, {'H', {17, 17, 17, 31, 17, 17, 17}},
      {'I', {14, 4, 4, 4, 4, 4, 14}},      {'J', {7, 2, 2, 2, 2, 18, 12}},     {'K', {17, 18, 20, 24, 20, 18, 17}},
      {'L', {16, 16, 16, 16, 16, 16, 31}}, {'M', {17, 27, 21, 21, 17, 17, 17}}, {'N', {17, 17, 25, 21, 19, 17, 17}},
      {'O', {14, 17, 17, 17, 17, 17, 14}}, {'P', {30, 17, 17, 30, 16, 16, 16}}, {'Q', {14, 17, 17, 17, 21, 18, 13}},
      {'R', {30, 17, 17, 30, 20, 18, 17}}, {'S', {15, 16, 16, 14, 1, 1, 30}},  {'T', {31, 4, 4, 4, 4, 4, 4}},
      {'U', {17, 17, 17, 17, 17, 17, 14}}, {'V', {17, 17, 17, 17, 17, 10, 4}}, {'W', {17, 17, 17, 21, 21, 21, 10}},
      {'X', {17, 17, 10, 4, 10, 17, 17}},  {'Y', {17, 17, 10, 4, 4, 4, 4}},    {'Z', {31, 1, 2, 4, 8, 16, 31}},
      {':', {0, 12, 12, 0, 12, 12, 0}},    {'.', {0, 0, 0, 0, 0, 12, 12}},     {'-', {0, 0, 0, 31, 0, 0, 0}},
      {'/', {1, 1, 2, 4, 8, 16, 16}},      {'#', {10, 10, 31, 10, 31, 10, 10}}, {'_', {0, 0, 0, 0, 0, 0, 31}},
      {' ', {0, 0, 0, 0, 0, 0, 0}},        {'?', {14, 17, 1, 2, 4, 0, 4}},
  };
  return glyphs;
}

constexpr uint32_t kBars[] = {0xC0C0C0, 0xC0C000, 0x00C0C0, 0x00C000, 0xC000C0, 0xC00000, 0x0000C0};
}  // namespace

JpegTestPattern::JpegTestPattern(std::string label, int width, int height)
    : label_(std::move(label)), width_(width), height_(height) {
  for (char &c : label_) c = char(std::toupper((unsigned char)c));
}

void JpegTestPattern::fillRect(std::vector<uint8_t> &rgb, int x, int y, int w, int h, uint32_t colour) const {
  for (int yy = std::max(0, y); yy < std::min(height_, y + h); ++yy)
    for (int xx = std::max(0, x); xx < std::min(width_, x + w); ++xx) {
      uint8_t *p = &rgb[(size_t(yy) * width_ + xx) * 3];
      p[0] = uint8_t(colour >> 16), p[1] = uint8_t(colour >> 8), p[2] = uint8_t(colour);
    }
}

void JpegTestPattern::drawText(std::vector<uint8_t> &rgb, int x, int y, int scale, const std::string &text,
                               uint32_t colour) const {
  for (char c : text) {
    auto it = font().find(c);
    const auto &glyph = it == font().end() ? font().at('?') : it->second;
    for (int row = 0; row < 7; ++row)
      for (int col = 0; col < 5; ++col)
        if (glyph[row] & (16 >> col)) fillRect(rgb, x + col * scale, y + row * scale, scale, scale, colour);
    x += 6 * scale;
  }
}

std::vector<uint8_t> JpegTestPattern::render(uint64_t frame, int64_t epochMs) const {
  std::vector<uint8_t> rgb(size_t(width_) * height_ * 3);
  // Colour bars over a dark gradient floor.
  int barW = width_ / 7;
  for (int i = 0; i < 7; ++i) fillRect(rgb, i * barW, 0, i == 6 ? width_ - 6 * barW : barW, height_ * 2 / 3, kBars[i]);
  for (int y = height_ * 2 / 3; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      uint8_t v = uint8_t(20 + 60 * x / width_);
      uint8_t *p = &rgb[(size_t(y) * width_ + x) * 3];
      p[0] = p[1] = p[2] = v;
    }
  // A white band sweeps across once every two seconds; a box bounces on the floor.
  int sweep = int((epochMs % 2000) * (width_ + 40) / 2000) - 40;
  fillRect(rgb, sweep, 0, 24, height_ * 2 / 3, 0xFFFFFF);
  double t = double(epochMs % 3000) / 3000.0;
  int boxX = int((width_ - 40) * (0.5 - 0.5 * std::cos(t * 2 * M_PI)));
  fillRect(rgb, boxX, height_ - 48, 40, 40, 0xFFA500);

  std::time_t secs = std::time_t(epochMs / 1000);
  std::tm utc{};
  gmtime_r(&secs, &utc);
  char clock[32];
  std::snprintf(clock, sizeof clock, "%.2d:%.2d:%.2d.%.3d UTC", utc.tm_hour, utc.tm_min, utc.tm_sec,
                int(epochMs % 1000));
  fillRect(rgb, 0, 8, width_, 40, 0x000000);
  drawText(rgb, 12, 14, 4, label_, 0xFFFFFF);
  fillRect(rgb, 0, height_ * 2 / 3 + 6, width_, 62, 0x101010);
  drawText(rgb, 12, height_ * 2 / 3 + 12, 3, clock, 0x7CFC00);
  drawText(rgb, 12, height_ * 2 / 3 + 42, 2, "FRAME " + std::to_string(frame), 0xC0C0C0);
  return encode(rgb, width_, height_);
}

std::vector<uint8_t> JpegTestPattern::solid(int width, int height, uint32_t colour) {
  std::vector<uint8_t> rgb(size_t(width) * height * 3);
  for (size_t i = 0; i < rgb.size(); i += 3)
    rgb[i] = uint8_t(colour >> 16), rgb[i + 1] = uint8_t(colour >> 8), rgb[i + 2] = uint8_t(colour);
  return encode(rgb, width, height);
}

namespace {
void put16be(std::vector<uint8_t> &out, size_t v) {
  out.push_back(uint8_t(v >> 8));
  out.push_back(uint8_t(v));
}
void put16le(std::vector<uint8_t> &out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void put32le(std::vector<uint8_t> &out, uint32_t v) {
  put16le(out, v & 0xFFFF);
  put16le(out, v >> 16);
}
// Inserts a segment (marker, length, payload) right after the start-of-image marker.
std::vector<uint8_t> withSegment(const std::vector<uint8_t> &jpeg, uint8_t marker, const std::vector<uint8_t> &payload) {
  std::vector<uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
  out.push_back(0xFF);
  out.push_back(marker);
  put16be(out, payload.size() + 2);
  out.insert(out.end(), payload.begin(), payload.end());
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}
}  // namespace

std::vector<uint8_t> JpegTestPattern::withExifThumbnail(const std::vector<uint8_t> &jpeg,
                                                        const std::vector<uint8_t> &thumbnail) {
  // "Exif\0\0", then a little-endian TIFF block: an empty IFD0 and an IFD1 that points at the thumbnail.
  constexpr uint32_t kIfd1 = 14, kThumbnailAt = kIfd1 + 2 + 2 * 12 + 4;
  std::vector<uint8_t> app1 = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 0x2A, 0};
  put32le(app1, 8);       // IFD0
  put16le(app1, 0);       // no entries
  put32le(app1, kIfd1);   // next: IFD1
  put16le(app1, 2);
  put16le(app1, 0x0201), put16le(app1, 4), put32le(app1, 1), put32le(app1, kThumbnailAt);  // JPEGInterchangeFormat
  put16le(app1, 0x0202), put16le(app1, 4), put32le(app1, 1), put32le(app1, uint32_t(thumbnail.size()));
  put32le(app1, 0);       // no further IFD
  app1.insert(app1.end(), thumbnail.begin(), thumbnail.end());
  return withSegment(jpeg, 0xE1, app1);
}

std::vector<uint8_t> JpegTestPattern::paddedTo(const std::vector<uint8_t> &jpeg, size_t minBytes) {
  std::vector<uint8_t> out = jpeg;
  while (out.size() < minBytes) {
    const size_t missing = minBytes - out.size();  // each segment adds its payload and 4 bytes
    const size_t payload = std::clamp<size_t>(missing > 4 ? missing - 4 : 1, 1, 65533);
    out = withSegment(out, 0xEF, std::vector<uint8_t>(payload, 0));
  }
  return out;
}

std::vector<uint8_t> JpegTestPattern::encode(const std::vector<uint8_t> &rgb, int width, int height) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr jerr{};
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char *out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&cinfo, &out, &outSize);
  cinfo.image_width = JDIMENSION(width);
  cinfo.image_height = JDIMENSION(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 75, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<uint8_t *>(&rgb[size_t(cinfo.next_scanline) * width * 3]);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<uint8_t> jpeg(out, out + outSize);
  jpeg_destroy_compress(&cinfo);
  free(out);
  return jpeg;
}

}  // namespace sim
