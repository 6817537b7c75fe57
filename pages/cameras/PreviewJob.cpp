#include "pages/cameras/PreviewJob.h"

#include <QMetaObject>
#include <QPointer>
#include <cstring>
#include <string>

#include "platform/SessionLog.h"

namespace vrx {

PreviewJob::PreviewJob(QObject* owner, OnPicture onPicture) : owner_(owner), onPicture_(std::move(onPicture)) {}

PreviewJob::~PreviewJob() { Stop(); }

void PreviewJob::Start(const PreviewTarget& target, Credentials credentials, QSize shown) {
  Stop();
  AllocateBuffers();
  credentials_ = std::move(credentials);
  stopped_ = false;
  refused_ = 0;
  job_.Start([this, target, shown] { Run(target, shown); });
}

void PreviewJob::Stop() {
  stopped_ = true;  // also ends a decode in progress
  job_.StopNow([this] { http_.Abort(); });
}

void PreviewJob::AllocateBuffers() {
  if (!answer_) answer_ = std::make_unique_for_overwrite<std::uint8_t[]>(kAnswerLimit);
  if (!chunk_) chunk_ = std::make_unique_for_overwrite<std::uint8_t[]>(kReadSize);
}

bool PreviewJob::Connect(const PreviewTarget& target, const Credentials& credentials) {
  AllocateBuffers();
  const auto connect = [&] {
    return http_.Connect(target.host, credentials.user, credentials.password.View(), kTimeoutMs, false, target.port);
  };
  return connect() || connect();
}

PreviewJob::Fetch PreviewJob::FetchOnce(QSize shown) {
  if (!http_.SendGet(kPicturePath)) return Fetch::kRequestFailed;
  const bool shownOne = ReadPicture(shown);
  http_.CloseRequest();
  return shownOne ? Fetch::kShown : Fetch::kNothingShown;
}

void PreviewJob::Run(PreviewTarget target, QSize shown) {
  Connect(target, credentials_);
  job_.Sleep(kFirstPauseMs);
  while (job_.Running()) {
    const bool failed = FetchOnce(shown) == Fetch::kRequestFailed;
    job_.Sleep(failed ? kRetryPauseMs : kPicturePauseMs);
  }
  http_.Close();
  credentials_.password.Wipe();
  if (const int refused = refused_.load())
    LogEvent("preview", std::to_string(refused) + (refused == 1 ? " picture" : " pictures") +
                            " refused in this preview: more than a camera sends");
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
    PreviewPicture decoded = DecodePreviewPicture(answer_.get() + picture->begin, length, shown, &stopped_);
    if (decoded.outcome == PreviewPicture::Outcome::kTooLarge || decoded.outcome == PreviewPicture::Outcome::kTooCostly)
      Refuse(decoded);
    if (decoded.outcome != PreviewPicture::Outcome::kDecoded) return false;
    ++shown_;
    HandOver(std::move(decoded.image));
    return true;
  }
}

void PreviewJob::Refuse(const PreviewPicture& picture) {
  // The first of a run is told with its numbers (nothing of the peer's text reaches the log).
  if (refused_++ == 0) LogEvent("preview", "picture refused: " + RefusalReason(picture));
}

void PreviewJob::HandOver(QImage image) {
  if (stopped_) return;
  QMetaObject::invokeMethod(
      owner_,
      [guard = QPointer<QObject>(owner_), onPicture = onPicture_, image = std::move(image)]() mutable {
        if (guard) onPicture(std::move(image));
      },
      Qt::QueuedConnection);
}

}  // namespace vrx
