// Closing never waits on name resolution. This test process gets a name server of its own that never answers:
// a mount namespace of its own (inside the network sandbox) in which /etc/resolv.conf names a loopback address
// where a socket is bound and reads nothing, so every lookup of a service host hangs for the resolver's own
// time-outs (here 5 s, twice). A command that is still resolving ends within a second when its owner leaves.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "net/DeviceCommandWorker.h"

using namespace vrx::net;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using W = DeviceCommandWorker;

namespace {

constexpr const char* kSilentNameServer = "127.0.0.53";
constexpr const char* kServiceHost = "portal.kelvaro.example";  // a host of the service's domain: looked up by DNS

class SilentNameServer : public ::testing::Environment {
 public:
  void SetUp() override {
    // Before any thread exists: the namespace is this process's alone, and the lookups' threads inherit it.
    ASSERT_EQ(::unshare(CLONE_NEWNS), 0) << "needs the sandbox's privileges";
    ASSERT_EQ(::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0);
    resolvConf_ = std::filesystem::temp_directory_path() / ("vrx-silent-resolv-" + std::to_string(::getpid()));
    std::ofstream(resolvConf_) << "nameserver " << kSilentNameServer << "\noptions timeout:5 attempts:2\n";
    ASSERT_EQ(::mount(resolvConf_.c_str(), "/etc/resolv.conf", nullptr, MS_BIND, nullptr), 0);
    socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(53);
    ::inet_pton(AF_INET, kSilentNameServer, &at.sin_addr);
    ASSERT_EQ(::bind(socket_, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);  // bound: no "port unreachable"
  }
  void TearDown() override {
    ::close(socket_);
    std::filesystem::remove(resolvConf_);
  }

 private:
  std::filesystem::path resolvConf_;
  int socket_ = -1;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new SilentNameServer);

std::chrono::milliseconds Since(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

}  // namespace

TEST(SilentResolver, LeavingACommandThatIsStillResolvingTakesUnderASecond) {
  ::setenv("VRX_EXTRA_CLOUD_HOSTS", "", 1);
  auto worker = std::make_unique<W>();
  ASSERT_TRUE(worker->SignIn(kServiceHost, "c", "v", "en", "a@b.test", "account-pw"));
  std::this_thread::sleep_for(800ms);  // well inside the lookup
  ASSERT_EQ(worker->Status(), W::kBusy);

  const auto left = Clock::now();
  worker->AbandonUnsent();
  worker->Stop();
  EXPECT_LT(Since(left), 1s);
  EXPECT_EQ(worker->Status(), W::kFailed);

  // And a worker destroyed in the middle of a lookup (the host going away) does not wait either.
  ASSERT_TRUE(worker->Bind(kServiceHost, "c", "v", "en", "NV-1", "admin-pw", "d"));
  std::this_thread::sleep_for(800ms);
  const auto destroyed = Clock::now();
  worker->AbandonUnsent();
  worker.reset();
  EXPECT_LT(Since(destroyed), 1s);
}

// Without an owner leaving, a command waits for its lookup as before: a slow name server is not a failure.
TEST(SilentResolver, StopWithoutLeavingStillGivesTheCommandItsWait) {
  W worker;
  ASSERT_TRUE(worker.SignIn(kServiceHost, "c", "v", "en", "a@b.test", "account-pw"));
  std::this_thread::sleep_for(300ms);
  const auto stopped = Clock::now();
  worker.Stop();
  EXPECT_GE(Since(stopped), 2900ms);  // Stop's own 3 s for a command in flight
  EXPECT_LT(Since(stopped), 4s);      // ... and then it is cut off, without waiting on the resolver
}
