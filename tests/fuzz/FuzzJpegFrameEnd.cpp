// The preview's JPEG frame-end walk over a camera's bytes, fed as a growing buffer in pieces (their sizes come
// from the first byte) and in one piece: the same picture either way, inside the buffer, from a start-of-image
// to an end-of-image marker, and the walk never goes back or past the end.
#include <algorithm>
#include <cstdint>
#include <optional>

#include "pages/preview/JpegFrameEnd.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = 1 + data[0] % 37;
  const std::uint8_t* bytes = data + 1;
  const std::size_t total = size - 1;

  vrx::JpegFrameEnd whole;
  const auto once = whole.Scan(bytes, total);

  vrx::JpegFrameEnd grown;
  std::optional<vrx::JpegFrameEnd::Picture> found;
  for (std::size_t have = 0; have < total && !found;) {
    have = std::min(total, have + piece);
    const std::size_t before = grown.examined();
    found = grown.Scan(bytes, have);
    if (grown.examined() < before || grown.examined() > have) __builtin_trap();
  }
  if (once.has_value() != found.has_value()) __builtin_trap();
  if (!found) return 0;
  if (found->begin != once->begin || found->end != once->end) __builtin_trap();
  if (found->end > total || found->begin + 4 > found->end) __builtin_trap();
  if (bytes[found->begin] != 0xFF || bytes[found->begin + 1] != 0xD8) __builtin_trap();
  if (bytes[found->end - 2] != 0xFF || bytes[found->end - 1] != 0xD9) __builtin_trap();
  return 0;
}
