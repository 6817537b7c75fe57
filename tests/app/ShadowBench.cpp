// Cost of computing the frame's shadow picture, which the wizard pays once at start-up.
#include <benchmark/benchmark.h>

#include "app/ShadowBitmap.h"

static void BM_ShadowRender(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(vrx::ShadowBitmap::Render(QSize(874, 654), vrx::ShadowParams{}));
}
BENCHMARK(BM_ShadowRender)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
