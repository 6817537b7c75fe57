#pragma once
// The camera page's background work: one job class per kind of thread, each with its thread body beside it,
// each ending in a typed result through ResultJob (a queued call to the page, or kept for the waiting veil of
// Next): the recorder's camera scan (2015), a camera's password check or set (HTTP 2018 / 2017, or the account
// datagrams through the adapter the camera answered on), the update that writes the user's choice into the
// recorder (2010 remove, 2009 add), and the recorder's cloud status (/config/kelvaroreginfo over HTTPS, then
// 2012). The bodies poll their thread's run flag between steps and touch no widget.

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "app/CameraRecord.h"
#include "net/RecorderEndpoint.h"
#include "pages/cameras/CameraRules.h"
#include "platform/ResultJob.h"

class QWidget;

namespace vrx::net {
class DeviceCommandWorker;
class DeviceSearch;
}  // namespace vrx::net

namespace vrx {

// Polling limits of the recorder and camera requests (counts of readings and their period).
struct CameraWorkLimits {
  int scanPollMs = 500, scanPolls = 60;
  int passwordPollMs = 100, passwordPolls = 120;
  int changePollMs = 50, changePolls = 300;
  int portalPollMs = 500, portalPolls = 30;
};

// ---------------------------------------------------------------------------------------------------- scan

// How a scan ended: the recorder's lines (Listed; an empty list when the command failed), or no answer at all
// (time-out, still busy after the last reading): the list then stays empty and "No camera found!" hidden.
struct ScanResult {
  enum class Outcome { Listed, NoAnswer } outcome = Outcome::NoAnswer;
  std::vector<std::string> lines;
};

class CameraScanJob {
 public:
  static constexpr int kStopWaitMs = 7000;
  explicit CameraScanJob(net::DeviceCommandWorker& worker) : worker_(worker) {}

  // Starts a scan unless one runs; onResult(ScanResult) runs on owner's thread unless the scan was stopped.
  template <typename Owner, typename OnResult>
  bool Start(Owner* owner, const net::RecorderEndpoint& recorder, const CameraWorkLimits& limits, OnResult onResult) {
    return job_.Start(
        owner, [this, recorder, limits](BackgroundJob& thread) { return Run(thread, worker_, recorder, limits); },
        std::move(onResult));
  }
  void Stop() { job_.Stop(); }
  bool Active() const { return job_.Active(); }

  // The thread body.
  static std::optional<ScanResult> Run(BackgroundJob& thread, net::DeviceCommandWorker& worker,
                                       const net::RecorderEndpoint& recorder, const CameraWorkLimits& limits);

 private:
  net::DeviceCommandWorker& worker_;
  ResultJob<ScanResult> job_{kStopWaitMs};
};

// ------------------------------------------------------------------------------------------------ passwords

enum class PasswordOutcome {
  Proven,   // the camera accepted the password (check) or took the new one (set)
  Refused,  // wrong password, no answer, time-out, or the request could not be sent
};

// Checks a camera's password (kind Check) or sets a new one (kind Set).
class CameraPasswordJob {
 public:
  enum class Kind { Check, Set };
  CameraPasswordJob(Kind kind, net::DeviceCommandWorker& worker, const net::DeviceSearch& search)
      : kind_(kind), worker_(worker), search_(search) {}

  // False (nothing started) while a previous request runs.
  template <typename Owner, typename OnResult>
  bool Start(Owner* owner, const CameraTarget& target, const CameraWorkLimits& limits, OnResult onResult) {
    return job_.Start(
        owner,
        [this, target, limits](BackgroundJob& thread) -> std::optional<PasswordOutcome> {
          return Run(kind_, thread, worker_, search_, target, limits);
        },
        std::move(onResult));
  }
  void Stop() { job_.Stop(); }
  bool Active() const { return job_.Active(); }

  static PasswordOutcome Run(Kind kind, BackgroundJob& thread, net::DeviceCommandWorker& worker,
                             const net::DeviceSearch& search, const CameraTarget& target,
                             const CameraWorkLimits& limits);

 private:
  Kind kind_;
  net::DeviceCommandWorker& worker_;
  const net::DeviceSearch& search_;
  ResultJob<PasswordOutcome> job_{BackgroundJob::kCameraWaitMs};
};

// ------------------------------------------------------------------------------------------------ update

// Removes the assigned cameras that are not selected (avdevid = their position) and adds the selected ones
// (avdevid = the count of adds that finished so far), in list order, behind the page's waiting veil. Every
// change sent, with whether the recorder finished it.
class CameraUpdateJob {
 public:
  explicit CameraUpdateJob(net::DeviceCommandWorker& worker) : worker_(worker) {}

  // Nothing when the page went away meanwhile.
  std::optional<std::vector<CameraChange>> RunBehindVeil(QWidget* page, const net::RecorderEndpoint& recorder,
                                                         std::vector<CameraRecord> cameras,
                                                         const CameraWorkLimits& limits, int maxTicks);
  void Stop() { job_.Stop(); }

  static std::vector<CameraChange> Run(BackgroundJob& thread, net::DeviceCommandWorker& worker,
                                       const net::RecorderEndpoint& recorder,
                                       const std::vector<CameraRecord>& cameras, const CameraWorkLimits& limits);
  // The longest the update may take for these cameras, in the veil's 100 ms ticks.
  static int WorstCaseTicks(const std::vector<CameraRecord>& cameras, const CameraWorkLimits& limits);

 private:
  net::DeviceCommandWorker& worker_;
  ResultJob<std::vector<CameraChange>> job_{BackgroundJob::kCameraWaitMs};
};

// ------------------------------------------------------------------------------------------------ cloud status

enum class CloudStatusOutcome {
  Read,    // the registration info was read (its keys, or none: empty values)
  Failed,  // the request failed: not sent, or answered 401 / 409
};
struct CloudStatusResult {
  CloudStatusOutcome outcome = CloudStatusOutcome::Failed;
  CloudRegistration registration;
  std::optional<CloudValues> values;  // the portal values, when 2012 gave them
};

class CloudStatusJob {
 public:
  explicit CloudStatusJob(net::DeviceCommandWorker& worker) : worker_(worker) {}

  std::optional<CloudStatusResult> RunBehindVeil(QWidget* page, const net::RecorderEndpoint& recorder,
                                                 const CameraWorkLimits& limits, int maxTicks);
  void Stop() { job_.Stop(); }

  static CloudStatusResult Run(BackgroundJob& thread, net::DeviceCommandWorker& worker,
                               const net::RecorderEndpoint& recorder, const CameraWorkLimits& limits);

 private:
  net::DeviceCommandWorker& worker_;
  ResultJob<CloudStatusResult> job_{BackgroundJob::kDefaultWaitMs};
};

}  // namespace vrx
