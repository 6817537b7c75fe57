#include "pages/preview/PreviewDecode.h"

#include <time.h>

#include <csetjmp>
#include <cstdio>  // before jpeglib.h, which uses FILE

#include <jerror.h>
#include <jpeglib.h>

#include "pages/preview/PreviewRules.h"

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
  std::chrono::nanoseconds cpuAtStart{};
  unsigned progressCalls = 0;
  bool created = false;
  bool wasStopped = false;
  bool tooCostly = false;

  ~Decoder() {
    if (created) jpeg_destroy_decompress(&info);
  }
};

Decoder& Of(j_common_ptr info) { return *static_cast<Decoder*>(info->client_data); }

[[noreturn]] void OnError(j_common_ptr info) { std::longjmp(Of(info).jump, 1); }
void Silent(j_common_ptr) {}  // warnings about a peer's broken data go nowhere
// The CPU time the calling thread has used so far.
std::chrono::nanoseconds ThreadCpuTime() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// Called by libjpeg for every row of blocks it reads or writes: where a decode is stopped, and where its work
// is bounded.
void OnProgress(j_common_ptr info) {
  constexpr unsigned kCallsPerClockRead = 64;  // reading the thread's clock on every row would cost more than it saves
  Decoder& d = Of(info);
  if (d.stopped && d.stopped->load(std::memory_order_relaxed)) {
    d.wasStopped = true;
    std::longjmp(d.jump, 1);
  }
  const bool tooManyScans = d.info.input_scan_number > kPictureScanLimit;
  const bool overBudget = ++d.progressCalls % kCallsPerClockRead == 0 && ThreadCpuTime() - d.cpuAtStart > kDecodeCpuBudget;
  if (tooManyScans || overBudget) {
    d.tooCostly = true;
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
  if (d.tooCostly) return PreviewPicture::Outcome::kTooCostly;
  // The decoder's memory limit: libjpeg asks for a backing store it does not have.
  if (d.errors.msg_code == JERR_NO_BACKING_STORE) return PreviewPicture::Outcome::kTooLarge;
  return PreviewPicture::Outcome::kUndecodable;
}

}  // namespace

std::string RefusalReason(const PreviewPicture& picture) {
  const std::string size = std::to_string(picture.declared.width()) + " x " + std::to_string(picture.declared.height());
  if (picture.outcome == PreviewPicture::Outcome::kTooCostly)
    return "it takes more work to decode than a camera's picture (" + size + " pixels, " +
           std::to_string(picture.scans) + " scans read)";
  return "it declares " + size + " pixels";
}

PreviewPicture DecodePreviewPicture(const std::uint8_t* jpeg, std::size_t size, QSize shown,
                                    const std::atomic<bool>* stopped) {
  PreviewPicture result;
  Decoder d;
  d.stopped = stopped;
  d.cpuAtStart = ThreadCpuTime();
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
    result.scans = d.info.input_scan_number;
    return result;
  }
  QImage image(int(d.info.output_width), int(d.info.output_height), QImage::Format_ARGB32_Premultiplied);
  if (image.isNull() || !ReadLines(d, image.bits(), std::size_t(image.bytesPerLine()))) {
    result.outcome = image.isNull() ? PreviewPicture::Outcome::kTooLarge : Failure(d);
    result.scans = d.info.input_scan_number;
    return result;
  }
  if (image.size() != shown) image = image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  result.image = std::move(image);
  result.outcome = PreviewPicture::Outcome::kDecoded;
  return result;
}

}  // namespace vrx
