// The shared background-thread helper: one thread at a time, a stop that wakes sleeps, and a bounded stop
// that cancels work which does not end by itself, so no thread outlives its owner.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/BackgroundJob.h"

namespace vrx {
namespace {

using namespace std::chrono;

TEST(BackgroundJob, StartsOnlyWhenNothingRunsAndBusyFollowsTheWork) {
  BackgroundJob job;
  std::atomic<bool> release{false};
  ASSERT_TRUE(job.Start([&] {
    while (!release) std::this_thread::sleep_for(milliseconds(1));
  }));
  EXPECT_EQ(job.Busy().load(), 1);
  EXPECT_FALSE(job.Start([] {}));  // one thread at a time
  release = true;
  for (int i = 0; i < 2000 && job.Active(); ++i) std::this_thread::sleep_for(milliseconds(1));
  EXPECT_EQ(job.Busy().load(), 0);
  EXPECT_TRUE(job.Start([] {}));  // a thread that ended by itself is joined and replaced
}

TEST(BackgroundJob, StopWakesASleepingWorkAtOnce) {
  BackgroundJob job;
  std::atomic<int> sleeps{0};
  job.Start([&] {
    while (job.Sleep(10000)) ++sleeps;
  });
  const auto start = steady_clock::now();
  job.Stop();
  EXPECT_LT(steady_clock::now() - start, milliseconds(1000));
  EXPECT_EQ(sleeps.load(), 0);
  EXPECT_FALSE(job.Running());
}

TEST(BackgroundJob, CancelRunsOnlyWhenTheWorkOutlivesTheStopWait) {
  struct Case {
    int workMs;
    bool cancelled;
  };
  for (const Case c : {Case{0, false}, Case{5000, true}}) {
    BackgroundJob job(100);
    std::atomic<bool> cancel{false};
    job.Start([&] {
      // Work that ignores the run flag and ends only when cancelled or when its time is up.
      const auto until = steady_clock::now() + milliseconds(c.workMs);
      while (!cancel && steady_clock::now() < until) std::this_thread::sleep_for(milliseconds(1));
    });
    std::this_thread::sleep_for(milliseconds(20));
    const auto start = steady_clock::now();
    job.Stop([&] { cancel = true; });
    EXPECT_EQ(cancel.load(), c.cancelled) << c.workMs;
    EXPECT_LT(steady_clock::now() - start, milliseconds(2000)) << c.workMs;
    EXPECT_FALSE(job.Active());
  }
}

// The hook given at construction is the one Stop() and the destructor use.
TEST(BackgroundJob, DestructorCancelsWithTheConstructionHook) {
  std::atomic<bool> cancel{false};
  const auto start = steady_clock::now();
  {
    BackgroundJob job(0, [&] { cancel = true; });
    job.Start([&] {
      while (!cancel) std::this_thread::sleep_for(milliseconds(1));  // ignores the run flag
    });
  }
  EXPECT_TRUE(cancel.load());
  EXPECT_LT(steady_clock::now() - start, milliseconds(2000));
}

TEST(BackgroundJob, DestructorJoins) {
  std::atomic<bool> ended{false};
  {
    BackgroundJob job;
    job.Start([&] {
      while (job.Sleep(5)) {
      }
      ended = true;
    });
  }
  EXPECT_TRUE(ended.load());
}

}  // namespace
}  // namespace vrx
