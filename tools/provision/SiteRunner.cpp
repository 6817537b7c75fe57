#include "SiteRunner.h"

#include <algorithm>
#include <thread>

#include "ProvisionCommandLine.h"
#include "platform/BackgroundJob.h"

namespace vrx::provision {

namespace {

using Clock = std::chrono::steady_clock;

// The recorder's peer as the runner hands it to the road: once the run is stopped it sends nothing more, and
// it knows whether a disk format is under way.
class GuardedPeer : public RecorderPeer {
 public:
  GuardedPeer(RecorderPeer& inner, const std::atomic<bool>& stopped) : inner_(inner), stopped_(stopped) {}

  Got<std::string> Find(const std::string& mac) override { return Read(&RecorderPeer::Find, mac); }
  Got<AccountAnswer> CheckAccount(const net::Secret& password) override {
    return Read(&RecorderPeer::CheckAccount, password);
  }
  void UseAdminPassword(const net::Secret& password) override { inner_.UseAdminPassword(password); }
  Got<ZoneFacts> ReadZones() override { return Read(&RecorderPeer::ReadZones); }
  Got<BayFacts> ReadDisks() override { return Read(&RecorderPeer::ReadDisks); }
  Got<std::vector<CameraFacts>> ListCameras() override { return Read(&RecorderPeer::ListCameras); }
  Got<bool> CameraAccepts(const CameraFacts& camera, const net::Secret& password) override {
    return Read(&RecorderPeer::CameraAccepts, camera, password);
  }
  Got<CloudFacts> ReadCloud() override { return Read(&RecorderPeer::ReadCloud); }
  Got<bool> LauncherIsCurrent(const CloudFacts& cloud) override { return Read(&RecorderPeer::LauncherIsCurrent, cloud); }

  Done SetAdminPassword(const net::Secret& current, const net::Secret& next) override {
    return Write(&RecorderPeer::SetAdminPassword, current, next);
  }
  Done SetZone(int number) override { return Write(&RecorderPeer::SetZone, number); }
  Done FormatDisk(int bay, int fsCode) override {
    if (stopped_.load()) return {kStoppedBeforeRequest};
    formatSince_.store(Clock::now().time_since_epoch().count());
    Done done = inner_.FormatDisk(bay, fsCode);
    // A format cut by the stop goes on in the recorder: the mark stays.
    if (done.ok() || !stopped_.load()) formatSince_.store(0);
    return done;
  }
  Done SetCameraPassword(const CameraFacts& camera, const net::Secret& current, const net::Secret& next) override {
    return Write(&RecorderPeer::SetCameraPassword, camera, current, next);
  }
  Done UpdateCameras(const std::vector<CameraAdd>& adds, const std::vector<const CameraFacts*>& removals) override {
    return Write(&RecorderPeer::UpdateCameras, adds, removals);
  }
  Done JoinCloud(const CloudAnswer& answer, const CloudFacts& facts) override {
    return Write(&RecorderPeer::JoinCloud, answer, facts);
  }
  Done WriteLauncher(const CloudFacts& cloud) override { return Write(&RecorderPeer::WriteLauncher, cloud); }

  // Since when a format call runs; nullopt when none does.
  std::optional<Clock::time_point> FormattingSince() const {
    const auto since = formatSince_.load();
    if (since == 0) return std::nullopt;
    return Clock::time_point(Clock::duration(since));
  }

 private:
  template <class Result, class... Params, class... Args>
  Got<Result> Read(Got<Result> (RecorderPeer::*read)(Params...), Args&&... args) {
    if (stopped_.load()) return Got<Result>::Fault(kStoppedBeforeRequest);
    return (inner_.*read)(std::forward<Args>(args)...);
  }
  template <class... Params, class... Args>
  Done Write(Done (RecorderPeer::*write)(Params...), Args&&... args) {
    if (stopped_.load()) return {kStoppedBeforeRequest};
    return (inner_.*write)(std::forward<Args>(args)...);
  }

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
