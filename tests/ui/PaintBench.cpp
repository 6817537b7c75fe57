// Repaint cost of the controls that redraw most: the camera list, a rich label and a picture button.
// Run: build/tests/ui/bench_ui_paint (offscreen platform).
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include "ui/Buttons.h"
#include "ui/Labels.h"
#include "pages/cameras/CamListCtrl.h"

using namespace vrx::ui;
using vrx::CCamListCtrl;

namespace {

void Render(benchmark::State& state, QWidget& w) {
  QImage target(w.size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    w.render(&target);
    benchmark::DoNotOptimize(target.constBits());
  }
}

void BM_CameraList(benchmark::State& state) {
  CCamListCtrl list;
  const int widths[] = {86, 32, 32, 46, 47, 149, 26, 72, 176};
  for (int w : widths) list.InsertColumn({QString(), w, Qt::AlignHCenter});
  list.setRowHeight(32);
  list.resize(700, 32 + 8 * 32);
  for (int r = 0; r < static_cast<int>(state.range(0)); ++r) {
    list.InsertRow(r + 1);
    list.SetCellText(r, 5, QStringLiteral("HC-%1").arg(r));
    list.SetCellText(r, 8, QStringLiteral("127.0.0.%1").arg(r + 1));
  }
  Render(state, list);
}
BENCHMARK(BM_CameraList)->Arg(8)->Arg(64);

void BM_RichLabel(benchmark::State& state) {
  CBaseStatic label;
  label.setText(QStringLiteral("Select your NVR from the list, then click <br>\"Next\".</br> If you have multiple "
                               "NVRs, you can identify them by the MAC ID printed on the lable on the bottom."));
  label.resize(700, 60);
  Render(state, label);
}
BENCHMARK(BM_RichLabel);

void BM_PictureButton(benchmark::State& state) {
  CAvrelButton button;
  button.setText(QStringLiteral("NEXT   >"));
  button.resize(118, 43);
  Render(state, button);
}
BENCHMARK(BM_PictureButton);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
