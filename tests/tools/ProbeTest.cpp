// vrx-probe as a person runs it, against the simulator, inside the network sandbox (ctest runs this test in
// scripts/sandbox; it refuses to run anywhere else). Each discover run listens for the full 6 s.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <arpa/inet.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "SimProcess.h"

namespace {

using nlohmann::json;
using vrx::test::SimProcess;

// A device on the LAN that answers every search with what it was told to send: whole answers with hostile
// texts, and a truncated answer the probe must drop like the wizard does.
class HostileResponder {
 public:
  explicit HostileResponder(std::vector<std::vector<std::uint8_t>> replies) : replies_(std::move(replies)) {
    socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(socket_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    ::setsockopt(socket_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    timeval tick{0, 100 * 1000};
    ::setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, &tick, sizeof tick);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(62976);
    bound_ = ::bind(socket_, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0;
    thread_ = std::thread([this] {
      std::uint8_t in[2048];
      while (!stop_) {
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t n = ::recvfrom(socket_, in, sizeof in, 0, reinterpret_cast<sockaddr*>(&from), &len);
        if (n < 6 || in[0] != 0xFD || in[4] != 0xA1) continue;
        for (const auto& r : replies_) ::sendto(socket_, r.data(), r.size(), 0, reinterpret_cast<sockaddr*>(&from), len);
      }
    });
  }
  ~HostileResponder() {
    stop_ = true;
    thread_.join();
    ::close(socket_);
  }
  bool bound() const { return bound_; }

  // An answer to the search: model at 150, MAC at 220, second name at 226, IPv4 at 290, HTTP port at 294.
  static std::vector<std::uint8_t> Reply(const std::string& model, const std::string& name, std::uint8_t last,
                                         std::size_t size = 332) {
    std::vector<std::uint8_t> r(332, 0);
    r[0] = r[1] = 0xFD;
    r[4] = 0xA1;
    std::memcpy(&r[150], model.data(), std::min<std::size_t>(model.size(), 69));
    const std::uint8_t mac[6] = {0x00, 0x1d, 0x4f, 0xee, 0x00, last};
    std::memcpy(&r[220], mac, 6);
    std::memcpy(&r[226], name.data(), std::min<std::size_t>(name.size(), 63));
    const std::uint8_t ip[4] = {127, 0, 66, last};
    std::memcpy(&r[290], ip, 4);
    r[294] = 80;
    r.resize(size);
    return r;
  }

 private:
  std::vector<std::vector<std::uint8_t>> replies_;
  int socket_ = -1;
  bool bound_ = false;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// No terminal escape, no bidirectional override, nothing that is not UTF-8 in what the probe printed.
void ExpectPrintable(const std::string& out) {
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    ASSERT_TRUE(c >= 0x20 || c == '\n') << "byte " << int(c) << " at " << i << " in\n" << out;
    ASSERT_NE(c, 0x7F) << out;
  }
  EXPECT_EQ(out.find("\xE2\x80\xAE"), std::string::npos) << "right-to-left override in\n" << out;
  for (std::size_t i = 0; i < out.size();) {  // well-formed UTF-8 (lead byte and its continuation bytes)
    const auto c = static_cast<unsigned char>(out[i]);
    const std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    ASSERT_NE(n, 0u) << "not UTF-8 at " << i << " in\n" << out;
    for (std::size_t k = 1; k < n; ++k) ASSERT_EQ(static_cast<unsigned char>(out[i + k]) & 0xC0, 0x80) << out;
    i += n;
  }
}

struct ProbeRun {
  int exitCode = -1;
  std::string out;
};

// Runs vrx-probe with `args` (after an optional environment prefix) and collects its standard output.
ProbeRun Probe(const std::string& args, const std::string& prefix = "") {
  const std::string probe = std::string(std::getenv("VRX_BUILD_DIR")) + "/tools/probe/vrx-probe";
  ProbeRun run;
  FILE* pipe = ::popen((prefix + " " + probe + " " + args + " 2>/dev/null").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
  const int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

json Parsed(const ProbeRun& run) {
  json j = json::parse(run.out, nullptr, false);
  EXPECT_FALSE(j.is_discarded()) << run.out;
  return j;
}

// Every device heard, as "model address" (any adapter).
std::vector<std::string> HeardDevices(const json& report) {
  std::vector<std::string> out;
  for (const auto& a : report["adapters"])
    for (const auto& d : a["devices"]) out.push_back(d["model"].get<std::string>() + " " + d["address"].get<std::string>());
  return out;
}

std::vector<std::string> HintCodes(const json& report) {
  std::vector<std::string> out;
  for (const auto& h : report["hints"]) out.push_back(h["code"]);
  return out;
}

bool Has(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

class ProbeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("VRX_SANDBOX") == nullptr || std::string(std::getenv("VRX_SANDBOX")) != "1")
      GTEST_SKIP() << "runs only inside scripts/sandbox";
  }
};

TEST_F(ProbeTest, DiscoverListsTheRecorderAndTheDevicesBesideIt) {
  SimProcess sim("default.json");
  ASSERT_TRUE(sim.ready()) << sim.error();
  const ProbeRun run = Probe("discover --json");
  EXPECT_EQ(run.exitCode, 0);
  const json report = Parsed(run);
  const auto heard = HeardDevices(report);
  EXPECT_TRUE(Has(heard, "VRX-410Q 127.0.10.1")) << run.out;
  EXPECT_TRUE(Has(heard, "VRX-208 127.0.10.2")) << run.out;
  EXPECT_TRUE(Has(heard, "HVC-0810 127.0.20.3")) << run.out;  // the camera that answers the search itself
  const json& adapter = report["adapters"][0];
  EXPECT_EQ(adapter["address"], "127.0.0.1");
  EXPECT_TRUE(adapter["sent"].get<bool>());
  const json& recorder = adapter["devices"][0];
  EXPECT_EQ(recorder["mac"], "00:1d:4f:a0:10:01");
  EXPECT_EQ(recorder["http_port"], 80);
  EXPECT_TRUE(Has(HintCodes(report), "other-model"));
  EXPECT_FALSE(Has(HintCodes(report), "nothing-heard"));
}

TEST_F(ProbeTest, ASilentNetworkIsNotFoundWithAdvice) {
  SimProcess sim("silent.json");
  ASSERT_TRUE(sim.ready()) << sim.error();
  const ProbeRun run = Probe("discover");
  EXPECT_EQ(run.exitCode, 1) << run.out;
  EXPECT_NE(run.out.find("Nothing answered on any adapter"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("UDP port 62976"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Result: no recorder found."), std::string::npos) << run.out;
}

struct RecorderCase {
  const char* scenario;
  const char* args;
  const char* password;
  const char* authentication;
  bool accepted;
  int zone;
};

class ProbeRecorderTest : public ProbeTest, public ::testing::WithParamInterface<RecorderCase> {};

TEST_P(ProbeRecorderTest, LooksWithoutChangingAnything) {
  const RecorderCase& c = GetParam();
  SimProcess sim(c.scenario);
  ASSERT_TRUE(sim.ready()) << sim.error();
  const ProbeRun run = Probe(std::string("recorder ") + c.args + " --json", std::string("VRX_PASSWORD='") + c.password + "'");
  EXPECT_EQ(run.exitCode, 0) << run.out;
  const json report = Parsed(run);
  EXPECT_TRUE(report["http"]["open"].get<bool>());
  EXPECT_TRUE(report["https"]["open"].get<bool>());
  EXPECT_EQ(report["authentication"], c.authentication);
  EXPECT_EQ(report["certificate_sha256"].get<std::string>().size(), 32u * 3 - 1) << run.out;
  EXPECT_EQ(report["password_accepted"].get<bool>(), c.accepted);
  if (c.accepted) {
    EXPECT_EQ(report["datetime"]["timezone"], std::to_string(c.zone));
    ASSERT_EQ(report["disks"].size(), 2u);
    EXPECT_EQ(report["disks"][0]["storageid"], "0");
  } else {
    EXPECT_TRUE(Has(HintCodes(report), "password"));
  }
  // Read-only: the recorder was asked only to read, never to set a zone, format, record or add anything.
  for (const auto& e : sim.log()) {
    const std::string request = e.value("request", "");
    if (e.value("kind", "") != "http") continue;
    EXPECT_EQ(request.rfind("GET ", 0), 0u) << request;
    for (const char* changing : {"timezone=", "storageformat", "manrecord", "addavdev", "delavdev", "kelvaroreg"})
      EXPECT_EQ(request.find(changing), std::string::npos) << request;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Recorders, ProbeRecorderTest,
    ::testing::Values(RecorderCase{"default.json", "127.0.10.1", "", "Basic", true, 14},
                      RecorderCase{"configured.json", "127.0.14.1", "Admin123", "Basic", true, 15},
                      RecorderCase{"faults.json", "127.0.11.1 --port 8080", "secret12", "Digest", true, 2},
                      RecorderCase{"faults.json", "127.0.11.1 --port 8080", "wrong", "Digest", false, 0}));

TEST_F(ProbeTest, HostileAnswersArePrintedCleanAndNeverStopTheProbe) {
  HostileResponder lan({
      HostileResponder::Reply("VRX-410Q", "\x1b]0;owned\x07Hall \xff\xfe\xc3\x1b[2J", 1),
      HostileResponder::Reply("VCM\xe2\x80\xae" "evil\x1b[31m\x9b", "\xed\xa0\x80 \xf4\x90\x80\x80", 2),
      HostileResponder::Reply("VRX-410Q", "cut short", 3, 200),  // not a whole answer: dropped unread
  });
  ASSERT_TRUE(lan.bound());
  const ProbeRun text = Probe("discover");
  EXPECT_EQ(text.exitCode, 0) << text.out;
  ExpectPrintable(text.out);
  EXPECT_NE(text.out.find("\"]0;ownedHall \uFFFD\uFFFD\uFFFD[2J\""), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("VCMevil[31m"), std::string::npos) << text.out;

  const ProbeRun run = Probe("discover --json");
  EXPECT_EQ(run.exitCode, 0) << run.out;
  ExpectPrintable(run.out);
  const json report = Parsed(run);
  const auto heard = HeardDevices(report);
  EXPECT_TRUE(Has(heard, "VRX-410Q 127.0.66.1")) << run.out;
  EXPECT_TRUE(Has(heard, "VCMevil[31m\uFFFD 127.0.66.2")) << run.out;
  EXPECT_EQ(report["adapters"][0]["devices"].size(), 2u) << run.out;  // the cut answer is not a device
  EXPECT_EQ(report["adapters"][0]["devices"][0]["name"], "]0;ownedHall \uFFFD\uFFFD\uFFFD[2J");
}

TEST_F(ProbeTest, HelpFitsATerminalAndTheVersionIsKnown) {
  const ProbeRun help = Probe("--help");
  EXPECT_EQ(help.exitCode, 0);
  std::size_t start = 0;
  for (std::size_t end; (end = help.out.find('\n', start)) != std::string::npos; start = end + 1)
    EXPECT_LE(end - start, 80u) << help.out.substr(start, end - start);
  for (const char* option : {"--json", "--port", "--user", "--version"})
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  const ProbeRun version = Probe("--version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out.rfind("vrx-probe ", 0), 0u) << version.out;
  EXPECT_GT(version.out.size(), std::strlen("vrx-probe 1.0\n") - 1) << version.out;
}

TEST_F(ProbeTest, RecorderThatIsNotThereAndBadCommandLines) {
  const ProbeRun absent = Probe("recorder 127.0.77.1 --json", "VRX_PASSWORD=x");
  EXPECT_EQ(absent.exitCode, 1);
  EXPECT_FALSE(Parsed(absent)["http"]["open"].get<bool>());
  EXPECT_EQ(Probe("discover --bogus").exitCode, 2);
  EXPECT_EQ(Probe("recorder").exitCode, 2);
  EXPECT_EQ(Probe("recorder 127.0.10.1 --port 0").exitCode, 2);
  EXPECT_EQ(Probe("teleport").exitCode, 2);
}

// A libcurl that cannot be loaded (here a file under its name that is no library, found first): the report
// names the library and the loader's reason, and the warning on standard error comes once.
TEST_F(ProbeTest, AnUnloadableLibcurlIsNamedWithTheLoadersReason) {
  SimProcess sim("default.json");
  ASSERT_TRUE(sim.ready()) << sim.error();
  char dir[] = "/tmp/vrx-no-curl.XXXXXX";
  ASSERT_NE(::mkdtemp(dir), nullptr);
  const std::string fake = std::string(dir) + "/libcurl.so.4";
  FILE* file = std::fopen(fake.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("not a library\n", file);
  std::fclose(file);

  const std::string prefix = std::string("LD_LIBRARY_PATH=") + dir + " VRX_PASSWORD=''";
  const ProbeRun run = Probe("recorder 127.0.10.1", prefix);
  EXPECT_NE(run.out.find("Read-only look: the HTTP client could not be set up: libcurl.so.4 could not be loaded: " + fake),
            std::string::npos)
      << run.out;
  const ProbeRun both = Probe("recorder 127.0.10.1 2>&1 >/dev/null; true", prefix);  // standard error alone
  std::size_t warnings = 0;
  for (std::size_t at = 0; (at = both.out.find("the HTTP client cannot work: libcurl.so.4", at)) != std::string::npos; ++at)
    ++warnings;
  EXPECT_EQ(warnings, 1u) << both.out;
  std::remove(fake.c_str());
  ::rmdir(dir);
}

// The extra adapter it adds stays in this sandbox: the discover tests above run before it (declaration order).
TEST_F(ProbeTest, ARecorderOnAnotherNetworkGetsTheOtherSubnetHint) {
  // Every network test runs with 127.0.0.2/8 as a second adapter, whose network holds every simulated device;
  // here the only adapter besides loopback must be one whose network leaves the recorder out. The address is
  // taken off lo inside this test's own namespace only.
  const char* inside = std::getenv("VRX_SANDBOX");
  ASSERT_TRUE(inside && std::string(inside) == "1");
  ASSERT_EQ(std::system("ip addr del 127.0.0.2/8 dev lo 2>/dev/null; true"), 0);
  SimProcess sim("other-subnet.json");
  ASSERT_TRUE(sim.ready()) << sim.error();
  const std::string sandbox = std::string(std::getenv("VRX_SOURCE_DIR")) + "/scripts/sandbox --addr 127.0.40.1/24 --";
  const ProbeRun run = Probe("discover --json", sandbox);
  const json report = Parsed(run);
  bool hinted = false;
  for (const auto& h : report["hints"])
    hinted = hinted || (h["code"] == "other-subnet" && h["text"].get<std::string>().find("127.0.99.1") != std::string::npos &&
                        h["text"].get<std::string>().find("127.0.40.1") != std::string::npos);
  EXPECT_TRUE(hinted) << run.out;
  EXPECT_FALSE(Has(HintCodes(report), "no-adapter")) << run.out;
}

}  // namespace
