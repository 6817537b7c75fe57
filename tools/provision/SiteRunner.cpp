#include "SiteRunner.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "ProvisionCommandLine.h"
#include "platform/BackgroundJob.h"

namespace vrx::provision {

namespace {

// What the pool threads share: the next recorder to take, whether --fail-fast has tripped, and a wake-up for
// the threads that wait on a recorder.
struct PoolState {
  std::atomic<std::size_t> next{0};
  std::atomic<bool> tripped{false};
  std::mutex mutex;
  std::condition_variable changed;
};

}  // namespace

SiteRunner::SiteRunner(const SitePlan& plan, SiteSettings settings, PeerFactory makePeer, Report& report)
    : plan_(plan), settings_(settings), makePeer_(std::move(makePeer)), report_(report) {}

std::vector<RecorderResult> SiteRunner::Run() {
  const std::size_t count = plan_.recorders.size();
  std::vector<std::optional<RecorderResult>> results(count);
  PoolState pool;

  auto worker = [&] {
    for (;;) {
      const std::size_t index = pool.next.fetch_add(1);
      if (index >= count) return;
      if (pool.tripped.load()) {
        RecorderResult r{plan_.recorders[index].mac,
                         RecorderVerdict::Failed,
                         0,
                         0,
                         0,
                         "not started: another recorder failed (--fail-fast)"};
        report_.RecorderEnded(r);
        results[index] = r;
        continue;
      }
      // Each recorder: its own thread (whose run flag its steps poll), its own peer, its own time limit.
      BackgroundJob thread(BackgroundJob::kDefaultWaitMs);
      std::unique_ptr<RecorderPeer> peer = makePeer_(thread);
      std::mutex stopMutex;
      std::string stopWhy;  // guarded by stopMutex
      std::atomic<bool> ended{false};
      RecorderResult result;
      thread.Start([&] {
        RecorderRun run(plan_.recorders[index], *peer, report_, settings_.rules, [&] {
          std::lock_guard lock(stopMutex);
          return stopWhy;
        });
        result = run.Run();
        ended.store(true);
        std::lock_guard lock(pool.mutex);
        pool.changed.notify_all();
      });
      const auto deadline = std::chrono::steady_clock::now() + settings_.recorderTimeout;
      std::string why;
      {
        std::unique_lock lock(pool.mutex);
        while (!ended.load()) {
          if (pool.tripped.load()) {
            why = "another recorder failed (--fail-fast)";
            break;
          }
          if (pool.changed.wait_until(lock, deadline) == std::cv_status::timeout && !ended.load()) {
            why = "its time limit (--recorder-timeout) was reached";
            break;
          }
        }
      }
      if (!why.empty()) {
        {
          std::lock_guard lock(stopMutex);
          stopWhy = why;
        }
        auto* abortable = dynamic_cast<AbortablePeer*>(peer.get());
        thread.Stop([&] {
          if (abortable) abortable->Abort();
        });
      } else {
        thread.Stop();
      }
      results[index] = result;
      if (settings_.failFast && result.verdict != RecorderVerdict::Done && result.verdict != RecorderVerdict::Planned) {
        pool.tripped.store(true);
        std::lock_guard lock(pool.mutex);
        pool.changed.notify_all();
      }
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

int SiteExitCode(const std::vector<RecorderResult>& results) {
  for (const RecorderResult& r : results)
    if (r.verdict == RecorderVerdict::Failed || r.verdict == RecorderVerdict::Refused) return kExitRecorder;
  return kExitDone;
}

}  // namespace vrx::provision
