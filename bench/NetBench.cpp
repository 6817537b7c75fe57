// Benchmarks of the network core, run inside the sandbox by scripts/run-benchmarks:
//  - collecting 1,000 discovery replies with duplicates (the collection alone, and received over a socket);
//  - GetToBuffer of a 60 KB body on loopback, beside the same fetch by the curl command line.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/DatagramSocket.h"
#include "net/DeviceSearch.h"
#include "net/HttpGet.h"

using namespace vrx::net;

namespace {

constexpr int kReplies = 1000;
constexpr int kDevices = 250;  // each device is heard four times: duplicates on both adapters
constexpr std::size_t kBodySize = 60 * 1024;

Bytes Reply(int device) {
  Bytes b(332, 0);
  b[0] = b[1] = 0xFD;
  b[4] = 0xA1;
  std::memcpy(b.data() + 150, "VRX-410Q", 8);
  b[224] = std::uint8_t(device >> 8);
  b[225] = std::uint8_t(device);
  b[290] = 127;
  b[292] = std::uint8_t(device >> 8);
  b[293] = std::uint8_t(device);
  return b;
}

void BM_CollectDiscoveryReplies(benchmark::State& state) {
  std::vector<Bytes> replies;
  for (int i = 0; i < kReplies; ++i) replies.push_back(Reply(i % kDevices));
  std::vector<std::unique_ptr<CDataQueue>> queues;
  queues.push_back(std::make_unique<CDataQueue>());
  queues.push_back(std::make_unique<CDataQueue>());
  for (auto _ : state) {
    for (int i = 0; i < kReplies; ++i) queues[i % 2]->Push(replies[i]);
    auto results = CollectQueuedReplies(queues);
    benchmark::DoNotOptimize(results.data());
    if (results.size() != std::size_t(kReplies)) state.SkipWithError("lost replies");
  }
  state.SetItemsProcessed(state.iterations() * kReplies);
}
BENCHMARK(BM_CollectDiscoveryReplies)->Unit(benchmark::kMicrosecond);

// The same 1,000 replies sent over loopback to an endpoint, queued by its receiving thread, then collected.
void BM_ReceiveAndCollectDiscoveryReplies(benchmark::State& state) {
  std::vector<Bytes> replies;
  for (int i = 0; i < kReplies; ++i) replies.push_back(Reply(i % kDevices));
  std::vector<std::unique_ptr<CDataQueue>> queues;
  queues.push_back(std::make_unique<CDataQueue>());
  CDataQueue* queue = queues[0].get();
  std::atomic<int> received{0};
  DatagramSocket endpoint(0, [&](DatagramSocket&, const sockaddr_in&, std::span<const std::uint8_t> data) {
    queue->Push(data);
    ++received;
  });
  if (!endpoint.Open("127.0.0.1")) {
    state.SkipWithError("cannot open the endpoint");
    return;
  }
  const int sender = ::socket(AF_INET, SOCK_DGRAM, 0);
  const int bigBuffer = 4 << 20;
  ::setsockopt(sender, SOL_SOCKET, SO_SNDBUF, &bigBuffer, sizeof bigBuffer);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(endpoint.LocalPort());
  inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
  std::int64_t lost = 0;
  for (auto _ : state) {
    received = 0;
    for (const auto& r : replies) {
      ::sendto(sender, r.data(), r.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
      if (&r - replies.data() > received + 32) std::this_thread::yield();  // stay within the socket buffer
    }
    for (int spin = 0; spin < 2000 && received < kReplies; ++spin) std::this_thread::sleep_for(std::chrono::microseconds(50));
    lost += kReplies - received;
    auto results = CollectQueuedReplies(queues);
    benchmark::DoNotOptimize(results.data());
  }
  state.counters["lost"] = double(lost);
  state.SetItemsProcessed(state.iterations() * kReplies);
  ::close(sender);
}
BENCHMARK(BM_ReceiveAndCollectDiscoveryReplies)->Unit(benchmark::kMillisecond)->UseRealTime();

class BodyServer {
 public:
  BodyServer() {
    server_.Get("/body", [this](const httplib::Request&, httplib::Response& res) { res.set_content(body_, "text/plain"); });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~BodyServer() {
    server_.stop();
    thread_.join();
  }
  int Port() const { return port_; }

 private:
  std::string body_ = std::string(kBodySize, 'v');
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

void BM_GetToBuffer60K(benchmark::State& state) {
  BodyServer server;
  HttpGet client;
  client.Connect("127.0.0.1", "", "", 5000, false, server.Port());
  std::vector<std::uint8_t> buffer(64000);
  for (auto _ : state) {
    std::size_t size = buffer.size();
    if (!client.GetToBuffer("/body", buffer.data(), size) || size < 57000) state.SkipWithError("fetch failed");
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(kBodySize));
}
BENCHMARK(BM_GetToBuffer60K)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CurlCommandLine60K(benchmark::State& state) {
  BodyServer server;
  const std::string command = "curl -s -o /dev/null --noproxy '*' http://127.0.0.1:" + std::to_string(server.Port()) + "/body";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("curl failed");
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(kBodySize));
}
BENCHMARK(BM_CurlCommandLine60K)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
