#pragma once
// Decodes a camera's JPEG snapshot for the preview window, as a peer's bytes must be decoded: the header is read
// first and a picture that declares more than a camera can send is refused before any pixel is decoded; the
// decoder's own buffers are bounded (kDecoderMemoryBytes); and a decode in progress ends as soon as `stopped`
// says so, so closing the preview never waits for a picture.
//
// The decoder's own scaling comes first (JpegDecodeSize), then a smooth scale to exactly `shown` pixels.

#include <QImage>
#include <QSize>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace vrx {

struct PreviewPicture {
  enum class Outcome {
    kDecoded,
    kTooLarge,     // declared above the limits, or needs more decoder memory than allowed: refused
    kUndecodable,  // not a JPEG this decoder reads
    kStopped,      // `stopped` was set while decoding
  };
  Outcome outcome = Outcome::kUndecodable;
  QSize declared;  // the size the header declares (empty when no header was read)
  QImage image;    // kDecoded: `shown` pixels, ARGB32 premultiplied (what the window paints without converting)
};

PreviewPicture DecodePreviewPicture(const std::uint8_t* jpeg, std::size_t size, QSize shown,
                                    const std::atomic<bool>* stopped = nullptr);

}  // namespace vrx
