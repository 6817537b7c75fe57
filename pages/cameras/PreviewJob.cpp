#include "pages/cameras/PreviewJob.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <cstring>

namespace vrx {

QImage DecodePreviewPicture(const std::uint8_t* jpeg, std::size_t size, QSize shown) {
  // The bytes stay where they are: the reader works on them in place.
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(jpeg), qsizetype(size));
  QBuffer device;
  device.setData(bytes);
  if (!device.open(QIODevice::ReadOnly)) return {};
  QImageReader reader(&device, "jpeg");
  const QSize decodeSize = JpegDecodeSize(reader.size(), shown);
  if (decodeSize.isValid()) reader.setScaledSize(decodeSize);
  QImage image = reader.read();
  if (image.isNull()) return {};
  if (image.size() != shown)
    image = image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  // The format the window paints without converting.
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

PreviewJob::PreviewJob(Deliver deliver) : deliver_(std::move(deliver)) {}

PreviewJob::~PreviewJob() { Stop(); }

void PreviewJob::Start(const PreviewTarget& target, const Credentials& credentials, QSize shown) {
  Stop();
  AllocateBuffers();
  job_.Start([this, target, credentials, shown] { Run(target, credentials, shown); });
}

void PreviewJob::Stop() {
  job_.StopNow([this] { http_.Abort(); });
}

void PreviewJob::AllocateBuffers() {
  if (!answer_) answer_ = std::make_unique_for_overwrite<std::uint8_t[]>(kAnswerLimit);
  if (!chunk_) chunk_ = std::make_unique_for_overwrite<std::uint8_t[]>(kReadSize);
}

bool PreviewJob::Connect(const PreviewTarget& target, const Credentials& credentials) {
  AllocateBuffers();
  const auto connect = [&] {
    return http_.Connect(target.host, credentials.user, credentials.password, kTimeoutMs, false, target.port);
  };
  return connect() || connect();
}

PreviewJob::Fetch PreviewJob::FetchOnce(QSize shown) {
  if (!http_.SendGet(kPicturePath)) return Fetch::kRequestFailed;
  const bool shownOne = ReadPicture(shown);
  http_.CloseRequest();
  return shownOne ? Fetch::kShown : Fetch::kNothingShown;
}

void PreviewJob::Run(PreviewTarget target, Credentials credentials, QSize shown) {
  Connect(target, credentials);
  job_.Sleep(kFirstPauseMs);
  while (job_.Running()) {
    const bool failed = FetchOnce(shown) == Fetch::kRequestFailed;
    job_.Sleep(failed ? kRetryPauseMs : kPicturePauseMs);
  }
  http_.Close();
}

bool PreviewJob::ReadPicture(QSize shown) {
  frameEnd_.Reset();
  std::size_t fill = 0;
  for (;;) {  // Stop() aborts the transfer: the next read fails
    std::size_t got = 0;
    if (!http_.ReadChunk(chunk_.get(), kReadSize, got) || got == 0) return false;  // cut off, or no picture
    if (fill + got > kAnswerLimit) {  // no picture in the first 2,160,000 bytes: none this time
      ++tooLong_;
      return false;
    }
    std::memcpy(answer_.get() + fill, chunk_.get(), got);
    fill += got;
    const auto picture = frameEnd_.Scan(answer_.get(), fill);
    if (!picture) continue;
    const std::size_t length = picture->end - picture->begin;
    if (length > kPictureLimit) {
      ++tooLong_;
      return false;
    }
    QImage image = DecodePreviewPicture(answer_.get() + picture->begin, length, shown);
    if (image.isNull()) return false;
    ++shown_;
    deliver_(std::move(image));
    return true;
  }
}

}  // namespace vrx
