// vrx-probe's advice and exit code from what it heard, without a network.
#include <gtest/gtest.h>

#include "Diagnosis.h"

namespace vrx::probe {
namespace {

Adapter Eth(const char* name, const char* address, const char* netmask = "255.255.255.0") {
  return {name, address, netmask, "", false};
}
const Adapter kLoopback{"lo", "127.0.0.1", "255.0.0.0", "", true};

HeardDevice Device(const char* model, const char* address, const Adapter& on) {
  return {model, "NVR", "00:1d:4f:a0:10:01", address, 80, InSubnet(on, address)};
}

AdapterReport Heard(const Adapter& a, std::vector<HeardDevice> devices, bool sent = true) {
  return {a, sent, sent ? "" : "Network is unreachable", std::move(devices)};
}

struct HintCase {
  const char* what;
  std::vector<AdapterReport> adapters;
  std::vector<std::string> codes;
  int exitCode;
};

class ProbeHintsTest : public ::testing::TestWithParam<HintCase> {};

TEST_P(ProbeHintsTest, AdviceFitsWhatWasHeard) {
  const HintCase& c = GetParam();
  const DiscoverReport report{6000, c.adapters};
  std::vector<std::string> codes;
  for (const Hint& h : DiscoverHints(report)) codes.push_back(h.code);
  EXPECT_EQ(codes, c.codes) << c.what;
  EXPECT_EQ(DiscoverExitCode(report), c.exitCode) << c.what;
  // The JSON form carries the same verdict and parses back.
  const nlohmann::json json = nlohmann::json::parse(DiscoverJson(report).dump());
  EXPECT_EQ(json["found"].get<bool>(), c.exitCode == kFound) << c.what;
  EXPECT_EQ(json["hints"].size(), c.codes.size()) << c.what;
}

const Adapter kEth0 = Eth("eth0", "192.168.1.20");
const Adapter kEth1 = Eth("eth1", "10.0.0.5", "255.255.0.0");

INSTANTIATE_TEST_SUITE_P(
    Reports, ProbeHintsTest,
    ::testing::Values(
        HintCase{"only loopback, silence", {Heard(kLoopback, {})}, {"no-adapter", "nothing-heard"}, kNotFound},
        HintCase{"the recorder in the adapter's network",
                 {Heard(kLoopback, {}), Heard(kEth0, {Device("VRX-410Q", "192.168.1.50", kEth0)})}, {}, kFound},
        HintCase{"the recorder with an address of another network",
                 {Heard(kEth0, {Device("VRX-410Q", "192.168.0.50", kEth0)})}, {"other-subnet"}, kFound},
        HintCase{"outside one adapter's network but inside another's",
                 {Heard(kEth0, {Device("VRX-410Q", "10.0.3.7", kEth0)}),
                  Heard(kEth1, {Device("VRX-410Q", "10.0.3.7", kEth1)})},
                 {},
                 kFound},
        HintCase{"only another model",
                 {Heard(kEth0, {Device("VRX-208", "192.168.1.51", kEth0)})}, {"other-model", "no-recorder"}, kNotFound},
        HintCase{"a cable unplugged on one adapter, silence on the other",
                 {Heard(kEth0, {}, false), Heard(kEth1, {})}, {"send-failed", "nothing-heard"}, kNotFound},
        HintCase{"nothing could be sent at all", {Heard(kEth0, {}, false)}, {"send-failed", "nothing-heard"}, kError}));

TEST(ProbeHintsTest, RecorderRepliesSplitIntoKeysAndValues) {
  const auto kv = KeyValueLines("date=2026-12-10\r\ntime=13:00:00\r\n\r\nnot a pair\r\ntimezone=14");
  ASSERT_EQ(kv.size(), 3u);
  EXPECT_EQ(kv[2], (std::pair<std::string, std::string>{"timezone", "14"}));
}

// A recorder's replies reach the report as sent; what is printed carries none of their escapes and stays
// valid UTF-8, so the JSON form can always be written.
TEST(ProbeHintsTest, RecorderTextsArePrintedWithoutTheirEscapes) {
  RecorderReport r;
  r.address = "127.0.10.1";
  r.http = {80, true, ""};
  r.https = {443, true, ""};
  r.authentication = "Basic\x1b[2J";
  r.passwordAccepted = true;
  r.dateTime = KeyValueLines("timezone=14\x1b]0;x\x07\r\ndate\xff=2026\xe2\x80\xae-12");
  r.disks = {KeyValueLines("status=ok\x9b")};
  const std::string text = RecorderText(r);
  const std::string json = JsonText(RecorderJson(r));
  for (const std::string* out : {&text, &json}) {
    EXPECT_EQ(out->find('\x1b'), std::string::npos) << *out;
    EXPECT_EQ(out->find('\x07'), std::string::npos) << *out;
    EXPECT_EQ(out->find("\xe2\x80\xae"), std::string::npos) << *out;
  }
  EXPECT_NE(text.find("Authentication: Basic[2J"), std::string::npos) << text;
  EXPECT_NE(text.find("date\uFFFD = 2026-12"), std::string::npos) << text;
  const nlohmann::json parsed = nlohmann::json::parse(json);
  EXPECT_EQ(parsed["datetime"]["timezone"], "14]0;x");
  EXPECT_EQ(parsed["disks"][0]["status"], "ok\uFFFD");
}

}  // namespace
}  // namespace vrx::probe
