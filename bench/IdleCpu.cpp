// CPU the wizard spends while it only waits, as % of one core over a window (10 s unless given):
//   waiting-overlay  the waiting veil open over a page (its 100 ms check and the spinner);
//   disk-poller      the host's disk status poller reading a simulated recorder's two bays.
// Prints "<case> cpu-percent=<x>" per case. Run inside scripts/sandbox (the poller talks to vrx-sim).
//   vrx_idle_cpu_bench [seconds]
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <sys/resource.h>

#include "SimProcess.h"
#include "app/HostJobs.h"
#include "ui/Waiting.h"

namespace {

double CpuSeconds() {
  rusage use{};
  getrusage(RUSAGE_SELF, &use);
  return double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) + double(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

// Runs what between two readings of the process's CPU time and wall clock.
template <class F>
void Measure(const char* name, F&& what) {
  const auto wall0 = std::chrono::steady_clock::now();
  const double cpu0 = CpuSeconds();
  what();
  const double cpu = CpuSeconds() - cpu0;
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
  std::printf("%s cpu-percent=%.3f wall-s=%.2f\n", name, 100.0 * cpu / wall, wall);
  std::fflush(stdout);
}

constexpr char kScenario[] = R"({
  "name": "idle-cpu",
  "recorder": { "address": "127.0.14.1", "mac": "00:1d:4f:a0:14:01", "admin_password": "",
                "disks": [ { "plugged": true, "ready": true, "fs": 4 }, { "plugged": true, "ready": true, "fs": 1 } ] },
  "kelvaro": { "address": "127.0.34.1" }
})";

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;

  QWidget page;
  page.setFixedSize(860, 640);
  page.show();
  QTimer::singleShot(200, &page, [&] {
    std::atomic<int> busy{1};
    QTimer::singleShot(seconds * 1000, &page, [&] { busy = 0; });
    // The veil's own settling (its first tick) is part of what a user waits through, so it is counted.
    Measure("waiting-overlay", [&] {
      vrx::ui::WaitWhileBusy(&page, &busy, 1 << 20);
    });
    app.quit();
  });
  app.exec();

  auto sim = vrx::test::SimProcess::fromText(kScenario);
  if (!sim->ready()) {
    std::fprintf(stderr, "the simulator did not start: %s\n", sim->error().c_str());
    return 1;
  }
  // The poller's passes arrive on this thread as queued results: an event loop runs while it is measured.
  QObject owner;
  int reports = 0;
  vrx::DiskStatusPoller poller(&owner, [&](vrx::DiskStatus) { ++reports; });
  Measure("disk-poller", [&] {
    poller.Start({"127.0.14.1", "00:1d:4f:a0:14:01", 0, "admin", {}});
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    poller.Stop();
  });
  if (reports == 0) std::fprintf(stderr, "the poller never reported\n");
  return reports == 0 ? 1 : 0;
}
