// The camera list at its largest: 256 cameras from the recorder's lines. Rebuild (parse the lines, refill the
// list, paint it), a full repaint, and one scroll step (move down a row and repaint).
// Run: build/bench/vrx_camera_list_bench (offscreen platform; no network).
#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <string>
#include <vector>

#include "pages/cameras/CamListCtrl.h"
#include "steps/cameras/CameraRules.h"

using namespace vrx;

namespace {

constexpr int kCameras = 256;
constexpr int kWidths[] = {86, 32, 32, 46, 47, 149, 26, 72, 176};

std::vector<std::string> RecorderLines() {
  std::vector<std::string> lines;
  for (int i = 0; i < kCameras; ++i)
    lines.push_back("0;127.0." + std::to_string(40 + i / 250) + "." + std::to_string(1 + i % 250) + ";001D4FC" +
                    std::to_string(10000 + i) + ";Halvik;HVC-" + std::to_string(1000 + i) + ";admin;;;1");
  return lines;
}

struct List {
  CCamListCtrl list;
  QImage target{688, 225, QImage::Format_ARGB32_Premultiplied};
  List() {
    for (int w : kWidths) list.InsertColumn({QString(), w, Qt::AlignHCenter});
    list.setRowHeight(32);
    list.resize(688, 225);
  }
  void Fill(const std::vector<steps::CameraRecord>& cameras) {
    list.DeleteAllRows();
    int number = 0;
    for (const steps::CameraRecord& c : cameras) {
      const int row = list.InsertRow(++number);
      list.SetCellText(row, 5, c.model);
      list.SetCellText(row, 8, c.address);
      list.setPasswordKnown(row, c.account == QLatin1String("admin"));
    }
  }
  void Paint() {
    list.render(&target);
    benchmark::DoNotOptimize(target.constBits());
  }
};

void BM_Rebuild256(benchmark::State& state) {
  const std::vector<std::string> lines = RecorderLines();
  List l;
  for (auto _ : state) {
    l.Fill(steps::ParseCameraLines(lines));
    l.Paint();
  }
}
BENCHMARK(BM_Rebuild256)->Unit(benchmark::kMicrosecond);

void BM_Repaint256(benchmark::State& state) {
  List l;
  l.Fill(steps::ParseCameraLines(RecorderLines()));
  for (auto _ : state) l.Paint();
}
BENCHMARK(BM_Repaint256)->Unit(benchmark::kMicrosecond);

void BM_ScrollStep256(benchmark::State& state) {
  List l;
  l.Fill(steps::ParseCameraLines(RecorderLines()));
  int top = 0;
  for (auto _ : state) {
    top = top + 1 > l.list.scrollLimit() ? 0 : top + 1;
    l.list.ScrollTo(top);
    l.Paint();
  }
}
BENCHMARK(BM_ScrollStep256)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
