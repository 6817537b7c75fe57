// A moving test picture for a simulated camera: colour bars, a sweeping band, the camera's name, a clock and a
// frame counter, encoded as a fresh JPEG for every request so that a preview visibly moves.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

class JpegTestPattern {
 public:
  JpegTestPattern(std::string label, int width = 640, int height = 360);
  // Renders frame `frame` at wall-clock `epochMs` and returns the JPEG bytes (FF D8 ... FF D9).
  std::vector<uint8_t> render(uint64_t frame, int64_t epochMs) const;

  // One colour all over (a thumbnail, or the second picture of an answer that carries two).
  static std::vector<uint8_t> solid(int width, int height, uint32_t colour);
  // Puts an EXIF APP1 segment carrying `thumbnail` (a whole JPEG, FF D8 ... FF D9) right after the start marker.
  static std::vector<uint8_t> withExifThumbnail(const std::vector<uint8_t> &jpeg, const std::vector<uint8_t> &thumbnail);
  // Adds APP15 segments of zeros after the start marker until the picture is at least minBytes long.
  static std::vector<uint8_t> paddedTo(const std::vector<uint8_t> &jpeg, size_t minBytes);

 private:
  void drawText(std::vector<uint8_t> &rgb, int x, int y, int scale, const std::string &text, uint32_t colour) const;
  static std::vector<uint8_t> encode(const std::vector<uint8_t> &rgb, int width, int height);
  void fillRect(std::vector<uint8_t> &rgb, int x, int y, int w, int h, uint32_t colour) const;

  std::string label_;
  int width_, height_;
};

}  // namespace sim
