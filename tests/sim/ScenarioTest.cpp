// Scenario files: every shipped scenario loads, and the loader refuses what would leave the machine or make no
// sense, with a message that names the problem.
#include "Scenario.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(ScenarioTest, EveryShippedScenarioLoads) {
  std::filesystem::path dir = std::filesystem::path(std::getenv("VRX_SOURCE_DIR") ? std::getenv("VRX_SOURCE_DIR") : ".") /
                              "sim" / "scenarios";
  int count = 0;
  for (const auto &entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".json") continue;
    EXPECT_NO_THROW(sim::ScenarioLoader::fromFile(entry.path().string())) << entry.path();
    ++count;
  }
  EXPECT_GE(count, 3);
  sim::Scenario d = sim::ScenarioLoader::fromFile((dir / "default.json").string());
  EXPECT_EQ(d.recorder.id.model, "VRX-410Q");
  EXPECT_EQ(d.cameras.size(), 5u);
  EXPECT_EQ(d.otherDevices.size(), 1u);
}

struct BadCase {
  std::string json;
  std::string message;
};

class BadScenarioTest : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadScenarioTest, IsRefusedWithAReason) {
  try {
    sim::ScenarioLoader::fromText(GetParam().json);
    FAIL() << "accepted";
  } catch (const std::runtime_error &e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadScenarioTest,
    ::testing::Values(BadCase{R"({"recorder": {"address": "10.1.2.3"}})", "not a 127.x address"},
                      BadCase{R"({"recorder": {"address": "127.0.0.9"}, "kelvaro": {"address": "8.8.8.8"}})",
                              "not a 127.x address"},
                      BadCase{R"({"recorder": {"address": "127.0.0.9", "mac": "00:11"}})", "bad MAC"},
                      BadCase{R"({"recorder": {"address": "127.0.0.9", "auth": "ntlm"}})", "auth must be"},
                      BadCase{R"({"recorder": {"address": "127.0.0.9", "zone": 0}})", "zone"},
                      BadCase{R"({"cameras": []})", "no recorder"},
                      BadCase{R"({"recorder": )", "scenario:"}));

}  // namespace
