#pragma once
// The live preview's thread: fetches one JPEG snapshot after another from the camera ("/image/jpeg.cgi",
// the camera's own Basic or Digest credentials), finds the first whole picture in each answer, decodes it at
// the size it is shown (PreviewDecode.h: a picture larger than a camera can send is refused, not decoded) and
// hands the finished image to its owner: a queued call delivers it on the owner's thread, and is dropped when
// the owner has gone by then. The thread never touches a window.
//
// Per request: a failed GET waits 1000 ms before the next one; after an answer (shown or not) the next
// follows 500 ms later. Stop() aborts a transfer in flight and a decode in progress, so it returns within a
// fraction of a second even while the camera hangs mid-picture or sends a picture built to be expensive.

#include <QImage>
#include <QObject>
#include <QSize>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/HttpGet.h"
#include "net/Secret.h"
#include "pages/cameras/JpegFrameEnd.h"
#include "pages/cameras/PreviewDecode.h"
#include "pages/cameras/PreviewRules.h"
#include "platform/BackgroundJob.h"

namespace vrx {

class PreviewJob {
 public:
  static constexpr const char* kPicturePath = "/image/jpeg.cgi";
  static constexpr std::size_t kReadSize = 8200;
  static constexpr std::size_t kAnswerLimit = 2'160'000;  // bytes kept of one answer
  static constexpr std::size_t kPictureLimit = 1'440'000; // a longer picture is not shown
  static constexpr int kTimeoutMs = 3000;
  static constexpr int kFirstPauseMs = 500;
  static constexpr int kRetryPauseMs = 1000;
  static constexpr int kPicturePauseMs = 500;

  // Called on the owner's thread with each picture.
  using OnPicture = std::function<void(QImage)>;

  struct Credentials {
    std::string user;
    net::Secret password;
  };

  PreviewJob(QObject* owner, OnPicture onPicture);
  ~PreviewJob();
  PreviewJob(const PreviewJob&) = delete;
  PreviewJob& operator=(const PreviewJob&) = delete;

  // Stops a previous run, then fetches from target until Stop(); pictures are decoded for `shown` pixels.
  void Start(const PreviewTarget& target, Credentials credentials, QSize shown);
  // Clears the run flag, aborts the transfer and the decode in flight, and joins. A picture decoded after
  // this is not handed over.
  void Stop();
  bool Active() const { return job_.Active(); }

  // The thread's two steps, public for the benchmark (which calls them on its own thread, with no job
  // running): connect the client (one retry), and one request from GET to the picture handed over.
  enum class Fetch { kShown, kNothingShown, kRequestFailed };
  bool Connect(const PreviewTarget& target, const Credentials& credentials);
  Fetch FetchOnce(QSize shown);

  // What the thread has done so far (tests and the benchmark read them).
  int picturesShown() const { return shown_.load(); }
  int picturesTooLong() const { return tooLong_.load(); }
  int picturesRefused() const { return refused_.load(); }  // more than a camera sends (PreviewDecode.h)

 private:
  void Run(PreviewTarget target, QSize shown);
  // Reads one answer until its first whole picture; false when none came (too long, cut off, no picture).
  bool ReadPicture(QSize shown);
  void Refuse(const PreviewPicture& picture);
  void HandOver(QImage image);
  void AllocateBuffers();

  QObject* const owner_;
  const OnPicture onPicture_;
  Credentials credentials_;  // the running thread's, set before it starts
  net::HttpGet http_;
  std::unique_ptr<std::uint8_t[]> answer_;  // the accumulation buffer, kAnswerLimit bytes
  std::unique_ptr<std::uint8_t[]> chunk_;   // one read, kReadSize bytes
  JpegFrameEnd frameEnd_;
  std::atomic<bool> stopped_{false};
  std::atomic<int> shown_{0};
  std::atomic<int> tooLong_{0};
  std::atomic<int> refused_{0};
  BackgroundJob job_{BackgroundJob::kCameraWaitMs};
};

}  // namespace vrx
