// vrx-probe as a person runs it, against the simulator, inside the network sandbox (ctest runs this test in
// scripts/sandbox; it refuses to run anywhere else). Each discover run listens for the full 6 s.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "SimProcess.h"

namespace {

using nlohmann::json;
using vrx::test::SimProcess;

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

TEST_F(ProbeTest, RecorderThatIsNotThereAndBadCommandLines) {
  const ProbeRun absent = Probe("recorder 127.0.77.1 --json", "VRX_PASSWORD=x");
  EXPECT_EQ(absent.exitCode, 1);
  EXPECT_FALSE(Parsed(absent)["http"]["open"].get<bool>());
  EXPECT_EQ(Probe("discover --bogus").exitCode, 2);
  EXPECT_EQ(Probe("recorder").exitCode, 2);
  EXPECT_EQ(Probe("recorder 127.0.10.1 --port 0").exitCode, 2);
  EXPECT_EQ(Probe("teleport").exitCode, 2);
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
