#pragma once
// Decodes a camera's JPEG snapshot for the preview window, as a peer's bytes must be decoded: the header is read
// first and a picture that declares more than a camera can send is refused before any pixel is decoded; the
// decoder's own buffers are bounded (kDecoderMemoryBytes); the work is bounded too, since a small file of many
// tiny progressive scans can keep a decoder busy for a minute: a picture of more scans than a camera writes
// (kPictureScanLimit), or one that takes longer than kDecodeCpuBudget of the decoding thread's time, is
// refused; and a decode in progress ends as soon as `stopped` says so, so closing the preview never waits for
// a picture.
//
// The decoder's own scaling comes first (JpegDecodeSize), then a smooth scale to exactly `shown` pixels.

#include <QImage>
#include <QSize>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vrx {

// A camera's progressive picture has about ten scans (a few dozen at most); a few hundred is no camera's.
inline constexpr int kPictureScanLimit = 256;
// The decoding thread's CPU time one picture may take: a large honest picture at the decoder's smallest scale
// takes a small fraction of it.
inline constexpr std::chrono::milliseconds kDecodeCpuBudget{800};

struct PreviewPicture {
  enum class Outcome {
    kDecoded,
    kTooLarge,     // declared above the limits, or needs more decoder memory than allowed: refused
    kTooCostly,    // more scans than kPictureScanLimit, or more time than kDecodeCpuBudget: refused
    kUndecodable,  // not a JPEG this decoder reads
    kStopped,      // `stopped` was set while decoding
  };
  Outcome outcome = Outcome::kUndecodable;
  QSize declared;  // the size the header declares (empty when no header was read)
  int scans = 0;   // the scans read (kTooCostly)
  QImage image;    // kDecoded: `shown` pixels, ARGB32 premultiplied (what the window paints without converting)
};

// Why a refused picture (kTooLarge, kTooCostly) was refused, for the log: numbers only, nothing of the peer's.
std::string RefusalReason(const PreviewPicture& picture);

PreviewPicture DecodePreviewPicture(const std::uint8_t* jpeg, std::size_t size, QSize shown,
                                    const std::atomic<bool>* stopped = nullptr);

}  // namespace vrx
