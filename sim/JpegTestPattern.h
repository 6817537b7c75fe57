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

 private:
  void drawText(std::vector<uint8_t> &rgb, int x, int y, int scale, const std::string &text, uint32_t colour) const;
  void fillRect(std::vector<uint8_t> &rgb, int x, int y, int w, int h, uint32_t colour) const;

  std::string label_;
  int width_, height_;
};

}  // namespace sim
