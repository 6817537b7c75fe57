// How quickly the disk page follows the recorder, against the simulated recorder inside the sandbox:
// - BM_UnplugToPicture: from a disk leaving (or entering) its bay to the page's picture showing it, through
//   the host's poller (the page is expected to follow within about a second);
// - BM_FormatOneDisk: Next, OK, and the whole format of one disk that the recorder formats in 1 s, until
//   the page asks for the next page (the rest is the fixed pauses of the format thread and its polling).
// Not a ctest entry: build/tests/pages/recorder/bench_hdd_page.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <memory>

#include "HddPageFixture.h"
#include "SimProcess.h"
#include "ui/Alerts.h"
#include "ui/Buttons.h"
#include "ui/Labels.h"

using namespace vrx;
using namespace hddtest;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kDisk = R"({"plugged": true, "ready": true, "fs": 1})";

// Spins the event loop until done() or 10 s.
template <class Done>
bool SpinUntil(Done done) {
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (!done() && Clock::now() < deadline) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  return done();
}

void BM_UnplugToPicture(benchmark::State& state) {
  auto sim = test::SimProcess::fromText(Scenario(kDisk, kDisk));
  CInterDialog host;
  RecordingHddPage* page = ShowDiskPage(host);
  if (!sim->ready() || !page) return state.SkipWithError("no simulator or page");
  ControlPoller(host, 0);
  if (!SpinUntil([&] { return page->pictureState() == 3; })) return state.SkipWithError("no first report");
  bool plugged = true;
  double slowest = 0, fastest = 1e9;
  int round = 0;
  for (auto _ : state) {
    // The change is detected just after a poller pass: wait a different part of a pass each round, so the
    // rounds do not all meet the poller at the same point of its cycle.
    state.PauseTiming();
    const auto resume = Clock::now() + std::chrono::milliseconds((round++ * 97) % 1000);
    SpinUntil([&] { return Clock::now() >= resume; });
    state.ResumeTiming();
    plugged = !plugged;
    const auto start = Clock::now();
    sim->plugDisk(1, plugged, plugged);
    const int want = plugged ? 3 : 1;
    if (!SpinUntil([&] { return page->picture()->current() == want; })) return state.SkipWithError("no change");
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    slowest = std::max(slowest, seconds * 1000);
    fastest = std::min(fastest, seconds * 1000);
  }
  state.counters["fastest_ms"] = fastest;
  state.counters["slowest_ms"] = slowest;
}
BENCHMARK(BM_UnplugToPicture)->UseManualTime()->Iterations(12)->Unit(benchmark::kMillisecond);

void BM_FormatOneDisk(benchmark::State& state) {
  auto sim = test::SimProcess::fromText(Scenario(kDisk, R"({"plugged": false})"));
  CInterDialog host;
  RecordingHddPage* page = ShowDiskPage(host);
  if (!sim->ready() || !page) return state.SkipWithError("no simulator or page");
  ControlPoller(host, 0);
  if (!SpinUntil([&] { return page->pictureState() == 1; })) return state.SkipWithError("no first report");
  for (auto _ : state) {
    page->told.clear();
    WhenShown<ui::CAlarmDisplayPage>([](ui::CAlarmDisplayPage* alert) { alert->okButton()->click(); });
    const auto start = Clock::now();
    page->nextButton()->click();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    if (page->job().failed()) return state.SkipWithError("format failed");
  }
}
BENCHMARK(BM_FormatOneDisk)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("VRX_BUILD_DIR")) qputenv("VRX_BUILD_DIR", VRX_DEFAULT_BUILD_DIR);
  if (qEnvironmentVariableIsEmpty("VRX_SOURCE_DIR")) qputenv("VRX_SOURCE_DIR", VRX_DEFAULT_SOURCE_DIR);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
