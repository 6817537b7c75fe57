// What the client sends to and accepts from peers it cannot trust, against in-test servers and the
// simulator's own HTTP endpoint and authentication, inside the sandbox: no Basic to a host that offered
// Digest, the recorder's key pinned for the run, HTTPS to a recorder serving one connection at a time,
// Digest challenges as real servers write them, trickling peers, and proxies.
#include <gtest/gtest.h>

#include <curl/curl.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

#include "CertificateFactory.h"
#include "HttpAuth.h"
#include "HttpEndpoint.h"
#include "TestServers.h"
#include "net/DeviceCommandWorker.h"
#include "net/HttpGet.h"

using namespace vrx::net;
using namespace vrx::net::test;
using namespace std::chrono_literals;
using W = DeviceCommandWorker;

namespace {

class PeerTrust : public ::testing::Test {
 protected:
  void SetUp() override { HttpGet::ForgetPeers(); }
  void TearDown() override { HttpGet::ForgetPeers(); }
};

// A simulator endpoint on address:port (0 = any) answering GET /config/* with "ok", behind `auth` when given.
std::unique_ptr<sim::HttpEndpoint> SimEndpoint(sim::RequestLog& log, const std::string& address, int port,
                                               sim::HttpAuth* auth, const sim::Credential* tls = nullptr) {
  auto endpoint = std::make_unique<sim::HttpEndpoint>(
      "device", address, port, log,
      [auth](httplib::Server& server) {
        server.Get(R"(/config/.*)", [auth](const httplib::Request& req, httplib::Response& res) {
          std::string why;
          if (auth && !auth->check(req, res, why)) return;
          res.set_content("ok", "text/plain");
        });
      },
      tls ? tls->cert.get() : nullptr, tls ? tls->key.get() : nullptr);
  return endpoint;
}

}  // namespace

TEST_F(PeerTrust, AHostThatOfferedDigestNeverReceivesBasic) {
  // The first answer offers Digest; every later one asks for Basic only, as a spoofing device would.
  std::mutex mutex;
  std::vector<std::string> authorizations;
  std::atomic<int> answers{0};
  auto server = std::make_unique<httplib::Server>();
  server->Get("/config/storageinfo", [&](const httplib::Request& req, httplib::Response& res) {
    {
      std::lock_guard lock(mutex);
      authorizations.push_back(req.get_header_value("Authorization"));
    }
    res.status = 401;
    res.set_header("WWW-Authenticate", answers++ == 0 ? R"(Digest realm="NVR", nonce="n1", qop="auth")"
                                                      : R"(Basic realm="NVR")");
  });
  RunningServer running(std::move(server), "127.0.0.1");

  for (const char* password : {"secret", "secret", ""}) {  // one connection per command, as the worker does
    HttpGet client;
    ASSERT_TRUE(client.Connect("127.0.0.1", "admin", password, 3000, false, running.Port()));
    EXPECT_FALSE(client.SendGet("/config/storageinfo?storageid=0"));
  }
  std::lock_guard lock(mutex);
  ASSERT_GE(authorizations.size(), 3u);
  for (const auto& a : authorizations) EXPECT_NE(a.rfind("Basic", 0), 0u) << a;
}

TEST_F(PeerTrust, RecorderKeyIsPinnedAtTheFirstConnection) {
  sim::RequestLog log;
  const sim::Credential first = sim::CertificateFactory::makeServer("recorder", {"127.0.0.1"}, {}, nullptr);
  const sim::Credential second = sim::CertificateFactory::makeServer("recorder", {"127.0.0.1"}, {}, nullptr);
  std::string error;
  auto original = SimEndpoint(log, "127.0.0.1", 0, nullptr, &first);
  ASSERT_TRUE(original->start(error)) << error;
  const int port = original->port();

  HttpGet client;
  ASSERT_TRUE(client.Connect("127.0.0.1", "", "", 10000, true, port));
  ASSERT_TRUE(client.SendGet("/config/supportservices"));  // self-signed: accepted on the relaxed resend
  EXPECT_FALSE(HttpGet::PinnedKey("127.0.0.1", port).empty());
  EXPECT_TRUE(client.SendGet("/config/kelvarodiscovery"));  // the same key: accepted
  original->stop();
  const std::size_t seenByOriginal = log.size();

  // Another server with another key at the same address and port later in the run receives no request.
  auto impostor = SimEndpoint(log, "127.0.0.1", port, nullptr, &second);
  ASSERT_TRUE(impostor->start(error)) << error;
  ASSERT_TRUE(client.Connect("127.0.0.1", "admin", "pw", 10000, true, port));
  EXPECT_FALSE(client.SendGet("/config/kelvaroreginfo"));
  EXPECT_EQ(client.LastError().curlCode, CURLE_SSL_PINNEDPUBKEYNOTMATCH) << client.LastError().message;
  EXPECT_EQ(log.size(), seenByOriginal);
}

TEST_F(PeerTrust, OneConnectionHttpsRecorderAnswersTwoGetsInARow) {
  // The simulator serving one connection at a time and keeping an idle one 30 s: a client that leaves its
  // connection idle and opens another waits for it, and fails on its own 10 s time-out. (How long the GETs
  // take is printed; it is measured, not asserted: sanitizer builds are many times slower.)
  sim::RequestLog log;
  const sim::Credential tls = sim::CertificateFactory::makeServer("recorder", {"127.0.0.1"}, {}, nullptr);
  auto endpoint = SimEndpoint(log, "127.0.0.1", 0, nullptr, &tls);
  endpoint->setOneConnection(30);
  std::string error;
  ASSERT_TRUE(endpoint->start(error)) << error;

  for (int command = 0; command < 2; ++command) {  // the first command learns and pins the key
    HttpGet client;
    ASSERT_TRUE(client.Connect("127.0.0.1", "admin", "pw", 10000, true, endpoint->port()));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(client.SendGet("/config/supportservices")) << client.LastError().message;
    ASSERT_TRUE(client.SendGet("/config/kelvarodiscovery")) << client.LastError().message;
    EXPECT_EQ(ReadWholeBody(client), "ok");
    const auto took = std::chrono::steady_clock::now() - start;
    std::printf("command %d: two GETs in %lld ms\n", command,
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    client.Close();
  }
}

TEST_F(PeerTrust, CameraRealmWithABlankAndAnOpaqueValueInBothModes) {
  sim::RequestLog log;
  sim::HttpAuth auth(sim::AuthScheme::Digest, "IP Camera", [] { return std::string("cam pass"); });
  auto endpoint = SimEndpoint(log, "127.0.0.1", 0, &auth);
  std::string error;
  ASSERT_TRUE(endpoint->start(error)) << error;

  HttpGet client;
  // Automatic mode: the connection's credentials answer the challenge.
  ASSERT_TRUE(client.Connect("127.0.0.1", "admin", "cam pass", 3000, false, endpoint->port()));
  EXPECT_TRUE(client.SendGet("/config/userlist")) << client.QueryStatus();

  // Digest mode: our own header from the learned challenge.
  ASSERT_TRUE(client.Connect("127.0.0.1", "admin", "cam pass", 3000, false, endpoint->port()));
  client.SetAuthMode(HttpGet::kAuthNone);
  EXPECT_FALSE(client.SendGet("/config/userlist"));
  ASSERT_EQ(client.AuthMode(), HttpGet::kAuthDigest);
  EXPECT_EQ(client.Digest().realm, "IP Camera");
  EXPECT_TRUE(client.Digest().hasOpaque);
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(client.SendGet("/config/userlist?n=" + std::to_string(i)));

  // And the wrong password is still refused.
  ASSERT_TRUE(client.Connect("127.0.0.1", "admin", "cam-pass", 3000, false, endpoint->port()));
  EXPECT_FALSE(client.SendGet("/config/userlist"));
}

TEST_F(PeerTrust, APeerThatTricklesIsCutOff) {
  auto server = std::make_unique<httplib::Server>();
  std::atomic<bool> stop{false};
  server->Get("/config/storageformatpoll", [&](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("text/plain", [&](std::size_t, httplib::DataSink& sink) {
      std::this_thread::sleep_for(100ms);  // one byte every 100 ms: always within any "no data" time-out
      return !stop && sink.write("s", 1);
    });
  });
  RunningServer running(std::move(server), "127.0.0.1");
  HttpGet client;
  ASSERT_TRUE(client.Connect("127.0.0.1", "", "", 500, false, running.Port()));
  std::string reply;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(client.GetText("/config/storageformatpoll", reply));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);  // without the rule: never
  stop = true;
}

// ---- Proxies ---------------------------------------------------------------------------------------------------

namespace {

// Accepts TCP connections on address and counts them; what a proxy would see first.
class CountingListener {
 public:
  explicit CountingListener(const std::string& address) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    inet_pton(AF_INET, address.c_str(), &a.sin_addr);
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd_, 16) != 0)
      throw std::runtime_error("listen " + address);
    socklen_t len = sizeof a;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] {
      while (!stop_) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        const int c = ::accept(fd_, nullptr, nullptr);
        if (c >= 0) {
          ++connections_;
          ::close(c);
        }
      }
    });
  }
  ~CountingListener() {
    stop_ = true;
    thread_.join();
    ::close(fd_);
  }
  int Port() const { return port_; }
  int Connections() const { return connections_; }

 private:
  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::thread thread_;
};

int WaitWhileBusy(const W& worker) {
  for (int i = 0; i < 300 && worker.Status() == W::kBusy; ++i) std::this_thread::sleep_for(50ms);
  return worker.Status();
}

}  // namespace

TEST_F(PeerTrust, RecorderRequestsNeverUseTheProxyWhileTheCloudHonoursIt) {
  auto server = std::make_unique<httplib::Server>();
  std::atomic<int> recorderRequests{0};
  server->Get("/config/storageformatpoll", [&](const httplib::Request&, httplib::Response& res) {
    ++recorderRequests;
    res.set_content("status=100\r\n", "text/plain");
  });
  RunningServer recorder(std::move(server), "127.0.0.1");
  CountingListener proxy("127.0.0.5");
  const std::string proxyUrl = "http://127.0.0.5:" + std::to_string(proxy.Port());
  ::setenv("http_proxy", proxyUrl.c_str(), 1);
  ::setenv("https_proxy", proxyUrl.c_str(), 1);
  ::unsetenv("no_proxy");
  ::unsetenv("NO_PROXY");

  W worker;
  ASSERT_TRUE(worker.PollFormat(RecorderEndpoint{"127.0.0.1", "", recorder.Port(), "admin", vrx::net::Secret("pw")}));
  EXPECT_EQ(WaitWhileBusy(worker), W::kDone);
  EXPECT_EQ(worker.FormatProgress(), 100);
  EXPECT_EQ(recorderRequests, 1);
  EXPECT_EQ(proxy.Connections(), 0);

  ::setenv("VRX_EXTRA_CLOUD_HOSTS", "127.0.30.1", 1);  // a service host of this test
  ASSERT_TRUE(worker.SignIn("127.0.30.1", "c", "v", "en", "a@b.test", "pw"));
  WaitWhileBusy(worker);
  EXPECT_GE(proxy.Connections(), 1);  // the account service is reached through the user's proxy

  ::setenv("no_proxy", "127.0.30.1", 1);  // and the user's exceptions are kept
  const int before = proxy.Connections();
  ASSERT_TRUE(worker.SignIn("127.0.30.1", "c", "v", "en", "a@b.test", "pw"));
  WaitWhileBusy(worker);
  EXPECT_EQ(proxy.Connections(), before);

  ::unsetenv("http_proxy");
  ::unsetenv("https_proxy");
  ::unsetenv("no_proxy");
  ::unsetenv("VRX_EXTRA_CLOUD_HOSTS");
}
