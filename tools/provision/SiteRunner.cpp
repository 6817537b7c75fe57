#include "SiteRunner.h"

#include <algorithm>
#include <thread>

#include "ProvisionCommandLine.h"
#include "platform/BackgroundJob.h"

namespace vrx::provision {

namespace {

using Clock = std::chrono::steady_clock;

// The recorder's peer as the runner hands it to the road: once the run is stopped it sends no write (each
// answers as a write not sent), and it knows whether a disk format is under way. Reads still go: they change
// nothing, and the road checks the stop between its stages.
class GuardedPeer : public RecorderPeer {
 public:
  GuardedPeer(RecorderPeer& inner, const std::atomic<bool>& stopped) : inner_(inner), stopped_(stopped) {}

  Found Find(const std::string& mac) override {
    if (stopped_.load()) return {std::nullopt, kStoppedBeforeRequest};
    return inner_.Find(mac);
  }
  steps::BlankPasswordAnswer ProbeBlankPassword() override {
    return stopped_.load() ? steps::BlankPasswordAnswer::Stopped : inner_.ProbeBlankPassword();
  }
  steps::AdminPasswordAnswer CheckAdminPassword(const net::Secret& password) override {
    return inner_.CheckAdminPassword(password);
  }
  void UseAdminPassword(const net::Secret& password) override { inner_.UseAdminPassword(password); }
  steps::ZoneList ReadZones() override { return inner_.ReadZones(); }
  steps::DiskBays ReadDisks() override { return inner_.ReadDisks(); }
  std::optional<steps::CameraListResult> ListCameras() override {
    if (stopped_.load()) return std::nullopt;
    return inner_.ListCameras();
  }
  steps::CameraPasswordResult CheckCameraPassword(const steps::CameraRecord& camera,
                                                  const net::Secret& password) override {
    return inner_.CheckCameraPassword(camera, password);
  }
  steps::CloudStatusResult ReadCloudStatus() override { return inner_.ReadCloudStatus(); }
  bool LauncherInPlace(const steps::DesktopLauncher& launcher) override { return inner_.LauncherInPlace(launcher); }

  steps::AdminPasswordAnswer SetAdminPassword(const net::Secret& current, const net::Secret& next) override {
    return stopped_.load() ? steps::AdminPasswordAnswer::NotSent : inner_.SetAdminPassword(current, next);
  }
  steps::ZoneFault SetZone(int zone) override {
    return stopped_.load() ? steps::ZoneFault::Unreachable : inner_.SetZone(zone);
  }
  steps::FormatOutcome FormatDisks(const steps::DisksToFormat& disks) override {
    if (stopped_.load()) return steps::FormatOutcome::Stopped;
    formatSince_.store(Clock::now().time_since_epoch().count());
    const steps::FormatOutcome outcome = inner_.FormatDisks(disks);
    // A format cut by the stop goes on in the recorder: the mark stays.
    if (outcome == steps::FormatOutcome::Formatted || !stopped_.load()) formatSince_.store(0);
    return outcome;
  }
  steps::CameraPasswordResult SetCameraPassword(const steps::CameraRecord& camera, const net::Secret& current,
                                                const net::Secret& next) override {
    if (stopped_.load()) return {camera.cameraId, camera.address, steps::CameraPasswordFault::NotStarted};
    return inner_.SetCameraPassword(camera, current, next);
  }
  std::vector<steps::CameraChange> UpdateCameras(const std::vector<steps::CameraRecord>& choice) override {
    if (stopped_.load()) return {};
    return inner_.UpdateCameras(choice);
  }
  std::optional<steps::AccountResult> RegisterAccount(steps::AccountRequest request) override {
    if (stopped_.load()) return std::nullopt;
    return inner_.RegisterAccount(std::move(request));
  }
  bool WriteLauncher(const steps::DesktopLauncher& launcher) override {
    return !stopped_.load() && inner_.WriteLauncher(launcher);
  }

  // Since when a format call runs; nullopt when none does.
  std::optional<Clock::time_point> FormattingSince() const {
    const auto since = formatSince_.load();
    if (since == 0) return std::nullopt;
    return Clock::time_point(Clock::duration(since));
  }

 private:
  RecorderPeer& inner_;
  const std::atomic<bool>& stopped_;
  std::atomic<Clock::rep> formatSince_{0};
};

RecorderResult NotStarted(const RecorderAnswer& answer, int index, std::string reason, std::string detail) {
  RecorderResult r;
  r.recorder = answer.mac;
  r.verdict = RecorderVerdict::Skipped;
  r.index = index;
  r.reason = std::move(reason);
  r.detail = std::move(detail);
  return r;
}

}  // namespace

SiteRunner::SiteRunner(const SitePlan& plan, SiteSettings settings, PeerFactory makePeer, Report& report)
    : plan_(plan), settings_(settings), makePeer_(std::move(makePeer)), report_(report) {}

void SiteRunner::Interrupt() {
  interrupted_.store(true);
  std::lock_guard lock(mutex_);
  changed_.notify_all();
}

std::vector<std::string> SiteRunner::FormatsRunning() const {
  std::lock_guard lock(formatsMutex_);
  std::vector<std::string> macs;
  for (const RecorderAnswer& r : plan_.recorders)  // in the file's order
    if (formatsRunning_.contains(r.mac)) macs.push_back(r.mac);
  return macs;
}

std::vector<RecorderResult> SiteRunner::Run() {
  const std::size_t count = plan_.recorders.size();
  std::vector<std::optional<RecorderResult>> results(count);
  std::atomic<std::size_t> next{0};

  auto runOne = [&](std::size_t index) {
    const RecorderAnswer& answer = plan_.recorders[index];
    // Each recorder: its own thread (whose run flag its steps poll), its own peer, its own time limit.
    BackgroundJob thread(BackgroundJob::kDefaultWaitMs);
    std::unique_ptr<RecorderPeer> peer = makePeer_(thread);
    GuardedPeer guarded(*peer, interrupted_);
    std::mutex stopMutex;
    std::string stopWhy;  // guarded by stopMutex
    std::atomic<bool> ended{false};
    RecorderResult result;
    thread.Start([&] {
      RecorderRun run(answer, guarded, report_, settings_.rules, [&] {
        std::lock_guard lock(stopMutex);
        return stopWhy;
      });
      result = run.Run();
      ended.store(true);
      std::lock_guard lock(mutex_);
      changed_.notify_all();
    });
    auto stop = [&](const std::string& why) {
      std::lock_guard lock(stopMutex);
      stopWhy = why;
    };
    const auto deadline = Clock::now() + settings_.recorderTimeout;
    enum class Cut { None, Interrupt, FailFast, TimeLimit } cut = Cut::None;
    {
      std::unique_lock lock(mutex_);
      while (!ended.load()) {
        if (interrupted_.load() && cut != Cut::Interrupt) {
          cut = Cut::Interrupt;
          report_.Stopping(answer.mac, RecorderVerdict::Interrupted, "interrupted",
                           "stopped by a signal at a safe point");
          stop("interrupted");
        }
        if (cut == Cut::Interrupt) {
          // The road ends by itself at its next safe point; a format, once the recorder has taken it, is left
          // to the recorder: its progress polls are all that is cut.
          const auto since = guarded.FormattingSince();
          if (since) {
            std::lock_guard formats(formatsMutex_);  // named at once: a second signal may end the program
            formatsRunning_.insert(answer.mac);
          }
          if (since && Clock::now() - *since >= settings_.formatTaken) {
            lock.unlock();
            thread.Stop();
            lock.lock();
            continue;
          }
        } else if (tripped_.load()) {
          cut = Cut::FailFast;
          break;
        }
        if (changed_.wait_until(lock, std::min(deadline, Clock::now() + std::chrono::milliseconds(200))) ==
                std::cv_status::timeout &&
            !ended.load() && Clock::now() >= deadline) {
          cut = Cut::TimeLimit;
          break;
        }
      }
    }
    if (cut == Cut::FailFast || cut == Cut::TimeLimit) {
      const bool timeLimit = cut == Cut::TimeLimit;
      const std::string why = timeLimit ? "its time limit (--recorder-timeout " +
                                              std::to_string(settings_.recorderTimeout.count() / 1000) +
                                              " s) was reached"
                                        : "stopped: another recorder failed (--fail-fast)";
      report_.Stopping(answer.mac, RecorderVerdict::Failed, timeLimit ? "time_limit" : "fail_fast", why);
      stop(why);
      auto* abortable = dynamic_cast<AbortablePeer*>(peer.get());
      thread.Stop([&] {
        if (abortable) abortable->Abort();
      });
    } else {
      thread.Stop();
    }
    {
      std::lock_guard lock(formatsMutex_);
      if (guarded.FormattingSince())
        formatsRunning_.insert(answer.mac);
      else
        formatsRunning_.erase(answer.mac);  // the format ended before the road did
    }
    if (cut == Cut::Interrupt && result.verdict != RecorderVerdict::Done && result.verdict != RecorderVerdict::Planned)
      result.verdict = RecorderVerdict::Interrupted, result.reason = "interrupted";
    results[index] = result;
    if (settings_.failFast && result.verdict != RecorderVerdict::Done && result.verdict != RecorderVerdict::Planned &&
        !interrupted_.load()) {
      tripped_.store(true);
      std::lock_guard lock(mutex_);
      changed_.notify_all();
    }
  };

  auto worker = [&] {
    for (;;) {
      const std::size_t index = next.fetch_add(1);
      if (index >= count) return;
      const RecorderAnswer& answer = plan_.recorders[index];
      std::optional<RecorderResult> skipped;
      if (interrupted_.load())
        skipped = NotStarted(answer, int(index), "interrupted", "not started: the run was stopped");
      else if (tripped_.load())
        skipped = NotStarted(answer, int(index), "fail_fast", "not started: another recorder failed (--fail-fast)");
      if (skipped) {
        report_.RecorderEnded(*skipped);
        results[index] = skipped;
        continue;
      }
      runOne(index);
    }
  };

  std::vector<std::thread> threads;
  const std::size_t width = std::min<std::size_t>(std::size_t(std::max(settings_.jobs, 1)), count);
  for (std::size_t i = 0; i < width; ++i) threads.emplace_back(worker);
  // The live view's clock: redraws while the recorders run, ends as soon as they have.
  std::mutex tickMutex;
  std::condition_variable tickWake;
  bool allDone = false;  // guarded by tickMutex
  std::thread ticker([&] {
    std::unique_lock lock(tickMutex);
    while (!tickWake.wait_for(lock, settings_.tick, [&] { return allDone; })) report_.Tick();
  });
  for (std::thread& t : threads) t.join();
  {
    std::lock_guard lock(tickMutex);
    allDone = true;
  }
  tickWake.notify_all();
  ticker.join();
  report_.Finished();

  std::vector<RecorderResult> out;
  for (auto& r : results) out.push_back(r.value_or(RecorderResult{}));
  return out;
}

int SiteExitCode(const std::vector<RecorderResult>& results, const ExitRules& rules) {
  bool failed = false, refused = false;
  for (const RecorderResult& r : results) {
    failed = failed || r.verdict == RecorderVerdict::Failed || r.verdict == RecorderVerdict::Interrupted ||
             (r.verdict == RecorderVerdict::Skipped && r.reason == "fail_fast");
    refused = refused || r.verdict == RecorderVerdict::Refused;
  }
  if (!rules.detailed) return failed || refused ? kExitRecorder : kExitDone;
  if (failed) return kExitRecorder;
  if (refused) return kExitRefusedOnly;
  if (rules.plan && rules.stepsWouldChange > 0) return kExitChangesPending;
  return kExitDone;
}

}  // namespace vrx::provision
