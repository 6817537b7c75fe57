// The preview's picture decoding over a camera's bytes: the header read, the size and memory limits and the
// bounded work (the scan count, the time budget). The first byte picks the window's size and whether the
// frame header's declared size stays as sent or is cut to at most 255 x 255 (so that most runs are quick and
// the limits still meet every size a peer can declare). Whatever the bytes, the decode ends with one of its
// outcomes, a decoded picture is exactly the window's size and within the limits, and a refused one has none.
#include <QImage>
#include <QSize>
#include <cstdint>
#include <vector>

#include "pages/preview/PreviewDecode.h"
#include "pages/preview/PreviewRules.h"

namespace {

// The frame header (SOF0 to SOF2) of the first picture with its declared size cut to a byte per side.
void CutDeclaredSize(std::vector<std::uint8_t>& jpeg) {
  for (std::size_t pos = 2; pos + 9 <= jpeg.size() && jpeg[pos] == 0xFF;) {
    const std::uint8_t marker = jpeg[pos + 1];
    if (marker >= 0xC0 && marker <= 0xC2) {
      jpeg[pos + 5] = 0;  // height, high byte
      jpeg[pos + 7] = 0;  // width, high byte
      return;
    }
    if (marker == 0xDA) return;
    pos += 2 + std::size_t(jpeg[pos + 2] << 8 | jpeg[pos + 3]);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  static const QSize kWindows[] = {{320, 170}, {1, 1}, {64, 48}, {321, 171}};
  const QSize shown = kWindows[data[0] & 3];
  std::vector<std::uint8_t> jpeg(data + 1, data + size);
  if (!(data[0] & 4)) CutDeclaredSize(jpeg);

  const vrx::PreviewPicture picture = vrx::DecodePreviewPicture(jpeg.data(), jpeg.size(), shown);
  using Outcome = vrx::PreviewPicture::Outcome;
  switch (picture.outcome) {
    case Outcome::kDecoded:
      if (picture.image.size() != shown || !vrx::PictureSizeAllowed(picture.declared)) __builtin_trap();
      break;
    case Outcome::kTooLarge:
    case Outcome::kTooCostly:
      if (!picture.image.isNull() || picture.declared.isEmpty() || vrx::RefusalReason(picture).empty()) __builtin_trap();
      break;
    case Outcome::kUndecodable:
      if (!picture.image.isNull()) __builtin_trap();
      break;
    case Outcome::kStopped:
      __builtin_trap();  // nothing asked it to stop
  }
  return 0;
}
