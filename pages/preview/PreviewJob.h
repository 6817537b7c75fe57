#pragma once
// The live preview's thread: one picture after another from the camera (steps::PreviewPictureFetch, one call
// per picture), its end found by the JPEG marker walk, decoded at the size it is shown (PreviewDecode.h: a
// picture larger than a camera can send is refused, not decoded), and posted to its owner through the streaming
// form of ResultJob: each arrives on the owner's thread, and none once the job was stopped or the owner has
// gone. The thread never touches a window.
//
// Per request: a failed GET waits 1000 ms before the next one; after an answer (shown or not) the next
// follows 500 ms later. Stop() aborts a transfer in flight and a decode in progress, so it returns within a
// fraction of a second even while the camera hangs mid-picture or sends a picture built to be expensive.

#include <QImage>
#include <QObject>
#include <QSize>
#include <atomic>
#include <functional>
#include <string>

#include "net/Secret.h"
#include "pages/preview/PreviewDecode.h"
#include "pages/preview/PreviewRules.h"
#include "platform/ResultJob.h"
#include "steps/cameras/PreviewFetchStep.h"

namespace vrx {

class PreviewJob {
 public:
  static constexpr const char* kPicturePath = steps::PreviewPictureFetch::kPicturePath;
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
  void Run(BackgroundJob& thread, const PreviewTarget& target, QSize shown);
  void Refuse(const PreviewPicture& picture);

  Credentials credentials_;  // the running thread's, set before it starts
  steps::PreviewPictureFetch fetch_;
  std::atomic<int> shown_{0};
  std::atomic<int> tooLong_{0};
  std::atomic<int> refused_{0};
  ResultJob<QImage> job_{BackgroundJob::kCameraWaitMs};  // last: it stops before what its work uses goes
};

}  // namespace vrx
