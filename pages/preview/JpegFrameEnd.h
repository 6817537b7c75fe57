#pragma once
// Finds where the first JPEG picture in a growing buffer ends, by walking its marker segments: APPn, tables
// and the other segments are skipped by their length (an EXIF thumbnail inside APP1 carries an end marker of
// its own), and the entropy-coded data after a scan header is searched for the next real marker (0xFF 0x00 is
// a stuffed byte, 0xFF 0xD0-0xD7 a restart marker, 0xFF 0xFF fill).
//
// The buffer only grows between calls (the preview appends each read to it); every call looks only at the
// bytes that arrived since the previous one.
//
//   JpegFrameEnd end;
//   while (read more into buf) if (auto pic = end.Scan(buf, fill)) { show buf[pic->begin, pic->end); break; }

#include <cstddef>
#include <cstdint>
#include <optional>

namespace vrx {

class JpegFrameEnd {
 public:
  struct Picture {
    std::size_t begin = 0;  // the start-of-image marker
    std::size_t end = 0;    // one past the end-of-image marker
  };

  // Looks at data[examined(), size); the picture once its end-of-image marker is in, else nullopt.
  std::optional<Picture> Scan(const std::uint8_t* data, std::size_t size);
  // Forgets everything: the next Scan starts at offset 0 of a new buffer.
  void Reset() { *this = JpegFrameEnd(); }
  // How far the walk has got: bytes before this offset are never looked at again.
  std::size_t examined() const { return pos_; }

 private:
  enum class State { kSeekStart, kMarker, kLength, kSkip, kEntropy };
  State state_ = State::kSeekStart;
  std::size_t pos_ = 0;
  std::size_t begin_ = 0;
  std::size_t skip_ = 0;     // bytes of the current segment still to skip
  bool scanFollows_ = false; // the segment being skipped is a scan header: entropy-coded data follows it
};

}  // namespace vrx
