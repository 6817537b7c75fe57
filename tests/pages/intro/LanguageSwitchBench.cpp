// What a language change on the welcome page costs the user-interface thread: extracting the language file,
// re-laying every text and repainting the page; and a repaint of the page alone for comparison.
// Run: build/tests/pages/intro/bench_intro_language (offscreen platform).
#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include "app/InterDialog.h"
#include "app/PageRegistry.h"
#include "i18n/LangString.h"
#include "pages/intro/IntroPages.h"
#include "ui/SkinBase.h"

using namespace vrx;

namespace {

void BM_SwitchLanguageAndRepaint(benchmark::State& state) {
  RegisterIntroPages();
  CInterDialog host;
  host.show();
  auto* home = qobject_cast<CHomeDlg*>(host.currentPage());
  QImage target(home->size(), QImage::Format_ARGB32_Premultiplied);
  const int languages[] = {0, static_cast<int>(state.range(0))};
  int turn = 0;
  for (auto _ : state) {
    PostMessage(home->handle(), WM_WIZ_COMBO_PICK, WPARAM(languages[turn++ % 2]));
    QCoreApplication::processEvents();
    home->render(&target);
    benchmark::DoNotOptimize(target.constBits());
  }
  currentLanguage = 0;
  LoadLanguageFile(0);
}
BENCHMARK(BM_SwitchLanguageAndRepaint)->Arg(3)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_RepaintWelcomePage(benchmark::State& state) {
  RegisterIntroPages();
  CInterDialog host;
  host.show();
  QWidget* home = host.currentPage();
  QImage target(home->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    home->render(&target);
    benchmark::DoNotOptimize(target.constBits());
  }
}
BENCHMARK(BM_RepaintWelcomePage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
