#include "pages/preview/PreviewJob.h"

#include <string>

#include "pages/preview/JpegFrameEnd.h"
#include "pages/preview/PreviewDecode.h"
#include "platform/SessionLog.h"

namespace vrx {

PreviewJob::PreviewJob(QObject* owner, OnPicture onPicture) { job_.SetReceiver(owner, std::move(onPicture)); }

PreviewJob::~PreviewJob() { Stop(); }

void PreviewJob::Start(const PreviewTarget& target, Credentials credentials, QSize shown) {
  Stop();
  credentials_ = std::move(credentials);
  refused_ = 0;
  job_.StartStreaming([this, target, shown](BackgroundJob& thread) { Run(thread, target, shown); });
}

void PreviewJob::Stop() {
  job_.StopNow([this] { fetch_.Abort(); });  // the halt also ends a decode in progress
}

bool PreviewJob::Connect(const PreviewTarget& target, const Credentials& credentials) {
  return fetch_.Connect(target.host, target.port, credentials.user, credentials.password);
}

PreviewJob::Fetch PreviewJob::FetchOnce(QSize shown) {
  const steps::PreviewPictureFetch::Fetched fetched =
      fetch_.FetchOnce([end = JpegFrameEnd()](const std::uint8_t* answer, std::size_t size) mutable
                       -> std::optional<steps::PreviewPictureFetch::Span> {
        const auto picture = end.Scan(answer, size);
        if (!picture) return std::nullopt;
        return steps::PreviewPictureFetch::Span{picture->begin, picture->end};
      });
  using Outcome = steps::PreviewPictureFetch::Outcome;
  if (fetched.outcome == Outcome::RequestFailed) return Fetch::kRequestFailed;
  if (fetched.outcome == Outcome::TooLong) ++tooLong_;
  if (fetched.outcome != Outcome::Picture) return Fetch::kNothingShown;
  PreviewPicture decoded = DecodePreviewPicture(fetched.picture.data(), fetched.picture.size(), shown, &job_.Halted());
  if (decoded.outcome == PreviewPicture::Outcome::kTooLarge || decoded.outcome == PreviewPicture::Outcome::kTooCostly)
    Refuse(decoded);
  if (decoded.outcome != PreviewPicture::Outcome::kDecoded || job_.Halted()) return Fetch::kNothingShown;
  ++shown_;
  job_.Post(std::move(decoded.image));
  return Fetch::kShown;
}

void PreviewJob::Run(BackgroundJob& thread, const PreviewTarget& target, QSize shown) {
  Connect(target, credentials_);
  thread.Sleep(kFirstPauseMs);
  while (thread.Running()) {
    const bool failed = FetchOnce(shown) == Fetch::kRequestFailed;
    thread.Sleep(failed ? kRetryPauseMs : kPicturePauseMs);
  }
  fetch_.Close();
  credentials_.password.Wipe();
  if (const int refused = refused_.load())
    LogEvent("preview", std::to_string(refused) + (refused == 1 ? " picture" : " pictures") +
                            " refused in this preview: more than a camera sends");
}

void PreviewJob::Refuse(const PreviewPicture& picture) {
  // The first of a run is told with its numbers (nothing of the peer's text reaches the log).
  if (refused_++ == 0) LogEvent("preview", "picture refused: " + RefusalReason(picture));
}

}  // namespace vrx
