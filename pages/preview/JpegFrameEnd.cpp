#include "pages/preview/JpegFrameEnd.h"

#include <algorithm>
#include <cstring>

namespace vrx {
namespace {

constexpr std::uint8_t kPrefix = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;

// Markers that stand alone, without a length: restarts, the start of the image and TEM.
bool StandsAlone(std::uint8_t code) { return (code >= 0xD0 && code <= 0xD8) || code == 0x01; }

}  // namespace

std::optional<JpegFrameEnd::Picture> JpegFrameEnd::Scan(const std::uint8_t* data, std::size_t size) {
  while (pos_ < size) {
    switch (state_) {
      case State::kSeekStart: {
        // Anything before the start-of-image marker is not part of the picture.
        const std::uint8_t* hit = static_cast<const std::uint8_t*>(std::memchr(data + pos_, kPrefix, size - pos_));
        if (!hit) {
          pos_ = size;
          break;
        }
        pos_ = std::size_t(hit - data);
        if (pos_ + 1 >= size) return std::nullopt;  // the marker's second byte has not arrived
        if (data[pos_ + 1] == kStartOfImage) {
          begin_ = pos_;
          state_ = State::kMarker;
          pos_ += 2;
        } else {
          pos_ += 1;
        }
        break;
      }
      case State::kMarker: {
        // Between segments: a marker, possibly after fill bytes. Stray bytes are passed over, as decoders do.
        if (data[pos_] != kPrefix) {
          ++pos_;
          break;
        }
        if (pos_ + 1 >= size) return std::nullopt;
        const std::uint8_t code = data[pos_ + 1];
        if (code == kPrefix) {
          ++pos_;  // fill
        } else if (code == kEndOfImage) {
          pos_ += 2;
          return Picture{begin_, pos_};
        } else if (StandsAlone(code) || code == 0x00) {
          pos_ += 2;
        } else {
          scanFollows_ = code == kStartOfScan;
          pos_ += 2;
          state_ = State::kLength;
        }
        break;
      }
      case State::kLength: {
        if (pos_ + 2 > size) return std::nullopt;
        const std::size_t length = std::size_t(data[pos_]) << 8 | data[pos_ + 1];
        // The length counts its own two bytes; a shorter one is damage: treat the segment as empty.
        skip_ = std::max<std::size_t>(length, 2);
        state_ = State::kSkip;
        break;
      }
      case State::kSkip: {
        const std::size_t step = std::min(skip_, size - pos_);
        pos_ += step;
        skip_ -= step;
        if (skip_ == 0) state_ = scanFollows_ ? State::kEntropy : State::kMarker;
        break;
      }
      case State::kEntropy: {
        const std::uint8_t* hit = static_cast<const std::uint8_t*>(std::memchr(data + pos_, kPrefix, size - pos_));
        if (!hit) {
          pos_ = size;
          break;
        }
        pos_ = std::size_t(hit - data);
        if (pos_ + 1 >= size) return std::nullopt;
        const std::uint8_t code = data[pos_ + 1];
        if (code == 0x00 || (code >= 0xD0 && code <= 0xD7)) {
          pos_ += 2;  // a stuffed 0xFF or a restart marker: still inside the scan
        } else if (code == kPrefix) {
          pos_ += 1;  // fill before a marker
        } else {
          state_ = State::kMarker;  // the scan has ended: the next segment (or the end) follows
        }
        break;
      }
    }
  }
  return std::nullopt;
}

}  // namespace vrx
