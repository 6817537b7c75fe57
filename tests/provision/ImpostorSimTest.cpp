// Two devices answer the search with the recorder's MAC: the recorder at its address and an impostor at another
// that answers sooner (two simulators, in the network sandbox). vrx-provision refuses that recorder in plan and
// in apply, naming both addresses, and neither device receives an account datagram or any HTTP request, so no
// password goes anywhere.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "AnswerFolder.h"
#include "SimProcess.h"

namespace vrx::provision {
namespace {

using test::SimProcess;

constexpr const char* kMac = "00:1d:4f:a0:10:01";

// The recorder answers the search 0.8 s after the impostor.
constexpr const char* kRecorder = R"({"recorder": {"address": "127.0.10.1", "mac": "00:1d:4f:a0:10:01",
    "admin_password": "", "discovery": {"delay_ms": 800}}, "kelvaro": {"address": "127.0.30.1"}})";
constexpr const char* kImpostor = R"({"recorder": {"address": "127.0.10.9", "mac": "00:1d:4f:a0:10:01",
    "admin_password": ""}, "kelvaro": {"address": "127.0.30.9"}})";

constexpr const char* kAnswers = R"(version = 1
[[recorder]]
mac = "00:1d:4f:a0:10:01"
admin_password_env = "ADMIN_PW"
time_zone = "(GMT+01:00) Amsterdam, Berlin, Madrid, Paris, Rome"
shortcut = false
  [recorder.cloud]
  mode = "skip"
)";

class ImpostorSim : public testing::Test {
 protected:
  void SetUp() override {
    recorder_ = SimProcess::fromText(kRecorder);
    impostor_ = SimProcess::fromText(kImpostor);
    ASSERT_TRUE(recorder_->ready()) << recorder_->error();
    ASSERT_TRUE(impostor_->ready()) << impostor_->error();
    ::setenv("HOME", folder_.Path("home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", folder_.Path("home").c_str(), 1);
    ::setenv("ADMIN_PW", "Site2026pw", 1);
  }

  // The program's exit code and its recorder record.
  std::pair<int, nlohmann::json> Provision(const std::string& mode) {
    const std::string file = folder_.WriteAnswers(kAnswers);
    const std::string report = folder_.Path("report-" + mode + ".jsonl");
    const std::string command = std::string(std::getenv("VRX_BUILD_DIR")) + "/tools/provision/vrx-provision " +
                                mode + " " + file + " --report " + report + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    nlohmann::json result;
    std::ifstream in(report);
    for (std::string line; std::getline(in, line);) {
      const nlohmann::json record = nlohmann::json::parse(line);
      if (record.contains("result") && record.value("recorder", "") == kMac) result = record;
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, result};
  }

  // What a device received besides the search: an account datagram or an HTTP(S) request of any kind.
  static nlohmann::json BeyondTheSearch(const SimProcess& sim) {
    nlohmann::json seen = nlohmann::json::array();
    for (const nlohmann::json& entry : sim.log()) {
      const std::string body = entry.value("body", "");
      const bool search = entry.value("kind", "") == "udp" && body.size() >= 12 && body.substr(8, 4) == "a100";
      if (!search) seen.push_back(entry);
    }
    return seen;
  }

  standin::AnswerFolder folder_;
  std::unique_ptr<SimProcess> recorder_, impostor_;
};

TEST_F(ImpostorSim, PlanAndApplyRefuseAMacClaimedFromTwoAddresses) {
  for (const char* mode : {"plan", "apply"}) {
    const auto [code, result] = Provision(mode);
    EXPECT_EQ(code, 1) << mode;
    EXPECT_EQ(result.value("result", ""), "refused") << mode << ": " << result.dump();
    const std::string detail = result.value("detail", "");
    EXPECT_NE(detail.find("two devices answer as 00:1d:4f:a0:10:01: "), std::string::npos) << detail;
    EXPECT_NE(detail.find("127.0.10.1"), std::string::npos) << detail;
    EXPECT_NE(detail.find("127.0.10.9"), std::string::npos) << detail;
  }
  EXPECT_EQ(BeyondTheSearch(*recorder_), nlohmann::json::array()) << BeyondTheSearch(*recorder_).dump();
  EXPECT_EQ(BeyondTheSearch(*impostor_), nlohmann::json::array()) << BeyondTheSearch(*impostor_).dump();
}

}  // namespace
}  // namespace vrx::provision
