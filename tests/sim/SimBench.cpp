// Simulator answer times over one keep-alive connection and one UDP round trip. Run inside the sandbox:
//   scripts/sandbox build/tests/sim/bench_sim
// (VRX_BUILD_DIR and VRX_SOURCE_DIR default to build/ and . of the working folder).
#include "Clients.h"
#include "SimProcess.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

namespace {
vrx::test::SimProcess &sim() {
  static vrx::test::SimProcess instance("default.json");
  return instance;
}

size_t discard(char *, size_t size, size_t n, void *) { return size * n; }

void httpLoop(benchmark::State &state, const char *url, const char *credentials) {
  if (!sim().ready()) {
    state.SkipWithError(("simulator not ready: " + sim().error()).c_str());
    return;
  }
  CURL *curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_URL, url);
  curl_easy_setopt(curl, CURLOPT_USERPWD, credentials);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discard);
  for (auto _ : state) {
    if (curl_easy_perform(curl) != CURLE_OK) {
      state.SkipWithError("request failed");
      break;
    }
  }
  curl_easy_cleanup(curl);
}

void BM_RecorderStorageInfo(benchmark::State &state) {
  httpLoop(state, "http://127.0.10.1/config/storageinfo?storageid=0", "admin:");
}
BENCHMARK(BM_RecorderStorageInfo)->Unit(benchmark::kMicrosecond);

void BM_CameraJpegFrame(benchmark::State &state) {
  httpLoop(state, "http://127.0.20.2/image/jpeg.cgi", "admin:garage77");
}
BENCHMARK(BM_CameraJpegFrame)->Unit(benchmark::kMicrosecond);

void BM_DiscoveryRoundTrip(benchmark::State &state) {
  if (!sim().ready()) {
    state.SkipWithError("simulator not ready");
    return;
  }
  simtest::UdpClient client;
  for (auto _ : state) {
    client.send("127.0.10.1", simtest::discoverRequest());
    if (client.receive(1000, 1).empty()) {
      state.SkipWithError("no reply");
      break;
    }
  }
}
BENCHMARK(BM_DiscoveryRoundTrip)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
