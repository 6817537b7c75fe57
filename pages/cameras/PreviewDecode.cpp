#include "pages/cameras/PreviewDecode.h"

#include <csetjmp>
#include <cstdio>  // before jpeglib.h, which uses FILE

#include <jerror.h>
#include <jpeglib.h>

#include "pages/cameras/PreviewRules.h"

#if !defined(JCS_EXTENSIONS)
#error "the preview decodes into BGRA pixels: libjpeg-turbo is needed"
#endif

namespace vrx {
namespace {

// libjpeg reports errors by calling error_exit, which must not return: it jumps back to the step that was
// running. Each step is a plain function whose locals are trivial, so the jump skips no destructor.
struct Decoder {
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  jpeg_progress_mgr progress{};
  std::jmp_buf jump{};
  const std::atomic<bool>* stopped = nullptr;
  bool created = false;
  bool wasStopped = false;

  ~Decoder() {
    if (created) jpeg_destroy_decompress(&info);
  }
};

Decoder& Of(j_common_ptr info) { return *static_cast<Decoder*>(info->client_data); }

[[noreturn]] void OnError(j_common_ptr info) { std::longjmp(Of(info).jump, 1); }
void Silent(j_common_ptr) {}  // warnings about a peer's broken data go nowhere
void OnProgress(j_common_ptr info) {
  Decoder& d = Of(info);
  if (d.stopped && d.stopped->load(std::memory_order_relaxed)) {
    d.wasStopped = true;
    std::longjmp(d.jump, 1);
  }
}

bool ReadHeader(Decoder& d, const std::uint8_t* jpeg, std::size_t size) {
  d.info.err = jpeg_std_error(&d.errors);
  d.errors.error_exit = OnError;
  d.errors.output_message = Silent;
  d.info.client_data = &d;
  if (setjmp(d.jump)) return false;
  jpeg_create_decompress(&d.info);
  d.created = true;
  d.info.mem->max_memory_to_use = kDecoderMemoryBytes;
  d.progress.progress_monitor = OnProgress;
  d.info.progress = &d.progress;
  jpeg_mem_src(&d.info, jpeg, static_cast<unsigned long>(size));
  return jpeg_read_header(&d.info, TRUE) == JPEG_HEADER_OK;
}

bool StartDecoding(Decoder& d, int denominator) {
  if (setjmp(d.jump)) return false;
  d.info.scale_num = 1;
  d.info.scale_denom = static_cast<unsigned>(denominator);
  // 0xAARRGGBB words in memory order, alpha 255: QImage's ARGB32 (premultiplied or not, the same).
  d.info.out_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;
  d.info.dct_method = JDCT_ISLOW;
  return jpeg_start_decompress(&d.info) != FALSE;
}

bool ReadLines(Decoder& d, std::uint8_t* bits, std::size_t bytesPerLine) {
  if (setjmp(d.jump)) return false;
  while (d.info.output_scanline < d.info.output_height) {
    JSAMPROW row = bits + std::size_t(d.info.output_scanline) * bytesPerLine;
    if (jpeg_read_scanlines(&d.info, &row, 1) != 1) return false;
  }
  jpeg_finish_decompress(&d.info);
  return true;
}

PreviewPicture::Outcome Failure(const Decoder& d) {
  if (d.wasStopped) return PreviewPicture::Outcome::kStopped;
  // The decoder's memory limit: libjpeg asks for a backing store it does not have.
  if (d.errors.msg_code == JERR_NO_BACKING_STORE) return PreviewPicture::Outcome::kTooLarge;
  return PreviewPicture::Outcome::kUndecodable;
}

}  // namespace

PreviewPicture DecodePreviewPicture(const std::uint8_t* jpeg, std::size_t size, QSize shown,
                                    const std::atomic<bool>* stopped) {
  PreviewPicture result;
  Decoder d;
  d.stopped = stopped;
  if (size == 0 || !ReadHeader(d, jpeg, size)) {
    result.outcome = Failure(d);
    return result;
  }
  result.declared = QSize(int(d.info.image_width), int(d.info.image_height));
  if (!PictureSizeAllowed(result.declared)) {
    result.outcome = PreviewPicture::Outcome::kTooLarge;
    return result;
  }
  if (!StartDecoding(d, JpegScaleDenominator(result.declared, shown))) {
    result.outcome = Failure(d);
    return result;
  }
  QImage image(int(d.info.output_width), int(d.info.output_height), QImage::Format_ARGB32_Premultiplied);
  if (image.isNull() || !ReadLines(d, image.bits(), std::size_t(image.bytesPerLine()))) {
    result.outcome = image.isNull() ? PreviewPicture::Outcome::kTooLarge : Failure(d);
    return result;
  }
  if (image.size() != shown) image = image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  result.image = std::move(image);
  result.outcome = PreviewPicture::Outcome::kDecoded;
  return result;
}

}  // namespace vrx
