// The recorder's configuration interface over HTTP and HTTPS, driven with the curl command line.
#include "Clients.h"
#include "SimProcess.h"

#include <gtest/gtest.h>

#include <future>
#include <map>
#include <sstream>

using namespace simtest;
using vrx::test::SimProcess;

namespace {
const std::string kHttp = "http://127.0.10.1";
const std::string kHttps = "https://127.0.10.1";

std::map<std::string, std::string> keyValues(const std::string &body) {
  std::map<std::string, std::string> out;
  std::istringstream in(body);
  std::string line;
  while (std::getline(in, line, '\n')) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t eq = line.find('=');
    if (eq != std::string::npos) out.emplace(line.substr(0, eq), line.substr(eq + 1));
  }
  return out;
}

std::vector<std::string> split(const std::string &text, char sep) {
  std::vector<std::string> out;
  std::string piece;
  std::istringstream in(text);
  while (std::getline(in, piece, sep)) out.push_back(piece);
  return out;
}

class RecorderHttpTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { sim_ = new SimProcess("default.json"); }
  static void TearDownTestSuite() { delete sim_; }
  void SetUp() override { ASSERT_TRUE(sim_->ready()) << sim_->error(); }
  static CurlResult config(const std::string &pathAndQuery, bool secure = false) {
    return get((secure ? kHttps : kHttp) + pathAndQuery, "");  // a new recorder: blank admin password
  }
  static SimProcess *sim_;
};
SimProcess *RecorderHttpTest::sim_ = nullptr;

struct ZoneListCase {
  int language;
  std::string zone14;  // the name of zone 14 in that language
};

class ZoneListTest : public RecorderHttpTest, public ::testing::WithParamInterface<ZoneListCase> {};

TEST_P(ZoneListTest, ListHasTheFixedPrefixAndNamesInTheLanguage) {
  CurlResult r = config("/config/timezonelist?language=" + std::to_string(GetParam().language));
  ASSERT_EQ(r.status, 200);
  ASSERT_GT(r.body.size(), 13u);
  EXPECT_EQ(r.body.substr(0, 13), "timezonelist=");
  std::vector<std::string> names = split(r.body.substr(13), ';');
  ASSERT_EQ(names.size(), 31u);
  EXPECT_EQ(names[13], GetParam().zone14);
  EXPECT_EQ(names.back().find_first_of("\r\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Languages, ZoneListTest,
                         ::testing::Values(ZoneListCase{4, "(GMT) Dublin, Lisbon, London"},
                                           ZoneListCase{16, "(GMT) Dublin, Lisboa, Londres"},
                                           ZoneListCase{19, "(GMT) Дублин, Лиссабон, Лондон"},
                                           ZoneListCase{5, "(GMT) Dublín, Lisboa, Londres"},
                                           ZoneListCase{23, "(GMT) 都柏林, 里斯本, 倫敦"},
                                           ZoneListCase{22, "(GMT) 都柏林, 里斯本, 伦敦"},
                                           ZoneListCase{99, "(GMT) Dublin, Lisbon, London"}));

TEST_F(RecorderHttpTest, TimeZoneIsReadAndSetAndARefusedZoneGetsBadRequest) {
  EXPECT_EQ(keyValues(config("/config/datetime").body)["timezone"], "14");
  CurlResult set = config("/config/datetime?timezone=25");
  EXPECT_EQ(set.status, 200);
  EXPECT_EQ(set.body.find("400 Bad Request"), std::string::npos);
  EXPECT_EQ(keyValues(config("/config/datetime").body)["timezone"], "25");
  for (const char *bad : {"0", "32", "x", ""}) {
    CurlResult refused = config(std::string("/config/datetime?timezone=") + bad);
    EXPECT_NE(refused.body.find("400 Bad Request"), std::string::npos) << bad;
  }
  EXPECT_EQ(keyValues(config("/config/datetime").body)["timezone"], "25");
  EXPECT_EQ(config("/config/manrecord?record=1").status, 200);
  EXPECT_EQ(sim_->state()["recorder"]["recording"], true);
}

TEST_F(RecorderHttpTest, StorageInfoFollowsPlugAndTheFormatClimbsToItsFileSystem) {
  auto disk = [](int id) { return keyValues(config("/config/storageinfo?storageid=" + std::to_string(id)).body); };
  auto hd1 = disk(0);
  EXPECT_EQ(hd1["plug"], "1");
  EXPECT_EQ(hd1["ready"], "1");
  ASSERT_EQ(hd1["usedpartition"], "1");
  EXPECT_EQ(split(hd1["partitioninfo1"], ',').at(5), "4");

  ASSERT_TRUE(sim_->plugDisk(1, false, false));
  auto hd2 = disk(1);
  EXPECT_EQ(hd2["plug"], "0");
  EXPECT_EQ(hd2["ready"], "0");
  EXPECT_EQ(hd2.count("partitioninfo1"), 0u);
  EXPECT_EQ(config("/config/storageformat?storageid=1&partition=0&fs=2").status, 400) << "no disk in HD2";
  ASSERT_TRUE(sim_->plugDisk(1, true, true));
  EXPECT_EQ(disk(1)["plug"], "1");

  ASSERT_EQ(config("/config/storageformat?storageid=0&partition=0&fs=2").status, 200);
  std::vector<int> seen;
  for (int i = 0; i < 100 && (seen.empty() || seen.back() < 100); ++i) {
    seen.push_back(std::stoi(keyValues(config("/config/storageformatpoll").body)["status"]));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), 100);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_GT(std::count_if(seen.begin(), seen.end(), [](int p) { return p > 0 && p < 100; }), 2) << "it climbs";
  EXPECT_EQ(split(disk(0)["partitioninfo1"], ',').at(5), "2");
}

TEST_F(RecorderHttpTest, CameraTableChangesWithAddAndDelete) {
  auto lines = [] {
    CurlResult r = config("/config/kelvarodiscovery", true);
    EXPECT_EQ(r.status, 200);
    return split(r.body, '\n');
  };
  ASSERT_EQ(config("/config/supportservices", true).status, 200);
  std::vector<std::string> before = lines();
  ASSERT_EQ(before.size(), 5u);
  for (std::string line : before) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> f = split(line + ";", ';');  // keep an empty last field
    EXPECT_EQ(f.size(), 9u) << line;
  }
  EXPECT_EQ(before[3].substr(0, 2), "1;") << "the lobby camera is already assigned";
  EXPECT_EQ(before[0].substr(0, 13), "0;127.0.20.1;");

  // Base64 of "admin" and of "door4321" ("ZG9vcjQzMjE="): '=' and '+' must arrive as sent.
  std::string add = "/config/addavdev?avdevid=0&avdevname=HVC-2230&hostname=127.0.20.1&hostid=001D4FB02001"
                    "&protocol=1&protocoltype=1&account=" + base64("admin") + "&pass=" + base64("door4321") +
                    "&brand=Halvik&product=HVC-2230";
  ASSERT_EQ(config(add).status, 200);
  EXPECT_EQ(config("/config/delavdev?avdevid=3").status, 200);
  nlohmann::json cams = sim_->state()["recorder"]["cameras"];
  EXPECT_EQ(cams[0]["assigned"], true);
  EXPECT_EQ(cams[0]["password"], "door4321");
  EXPECT_EQ(cams[0]["channel"], 0);
  EXPECT_EQ(cams[3]["assigned"], false);
  std::vector<std::string> after = lines();
  EXPECT_EQ(after[0].substr(0, 2), "1;");
  EXPECT_EQ(after[3].substr(0, 2), "0;");

  EXPECT_EQ(config("/config/addavdev?avdevid=4&hostname=127.0.20.2&account=&pass=").status, 400);
  EXPECT_EQ(config("/config/addavdev?avdevid=1&hostname=127.0.20.2&account=%%%&pass=*").status, 400);
  EXPECT_EQ(config("/config/delavdev?avdevid=17").status, 400);
}

TEST_F(RecorderHttpTest, CloudStateIsReportedAndWrittenBack) {
  auto portal = keyValues(config("/config/kelvaroportal").body);
  EXPECT_EQ(portal["status"], "0");
  EXPECT_EQ(portal["access"], "1");
  EXPECT_EQ(portal["portal_url"], "127.0.30.1");
  EXPECT_EQ(portal["portal_number"], "K4R7M2Q9");
  EXPECT_EQ(portal["model"], "VRX-410Q");
  EXPECT_FALSE(portal["portal_dfp"].empty());
  EXPECT_EQ(portal["localhyperlink"], "http://127.0.10.1/");

  EXPECT_NE(config("/config/kelvaroregstatus?status=1").body.find('1'), std::string::npos);
  ASSERT_EQ(config("/config/kelvaroreginfo?email=a%2Bb@kelvaro.test&password=pw1234&status=1", true).status, 200);
  auto info = keyValues(config("/config/kelvaroreginfo", true).body);
  EXPECT_EQ(info["status"], "1");
  EXPECT_EQ(info["email"], "a+b@kelvaro.test");
  EXPECT_EQ(info["password"], "pw1234");
  EXPECT_EQ(keyValues(config("/config/kelvaroportal").body)["status"], "1");
}

TEST_F(RecorderHttpTest, EveryRequestNeedsTheAdminAccount) {
  for (const char *path : {"/config/datetime", "/config/storageinfo?storageid=0", "/config/kelvaroportal"}) {
    CurlResult none = curl({kHttp + path});
    EXPECT_EQ(none.status, 401) << path;
    EXPECT_EQ(none.header("WWW-Authenticate").rfind("Basic realm=", 0), 0u) << path;
    EXPECT_EQ(get(kHttp + path, "nope").status, 401) << path;
    EXPECT_EQ(curl({"-u", "root:", kHttp + path}).status, 401) << path;
  }
  // The HTTPS side uses a self-signed certificate: refused without -k, served with it.
  CurlResult strict = curl({"-u", "admin:", kHttps + "/config/datetime"});
  EXPECT_EQ(strict.exitCode, 60);
  EXPECT_EQ(config("/config/datetime", true).status, 200);
}

TEST_F(RecorderHttpTest, ServesManyClientsAtOnceAndSurvivesHostileRequests) {
  std::vector<std::future<int>> jobs;
  for (int i = 0; i < 12; ++i)
    jobs.push_back(std::async(std::launch::async, [i] {
      return config(i % 2 ? "/config/storageinfo?storageid=1" : "/config/timezonelist?language=19", i % 3 == 0).status;
    }));
  for (auto &j : jobs) EXPECT_EQ(j.get(), 200);

  std::string huge(200000, 'a');
  CurlResult bigHeader = curl({"-u", "admin:", "-H", "X-Filler: " + huge, kHttp + "/config/datetime"});
  EXPECT_NE(bigHeader.status, 200);
  CurlResult oddQuery = config("/config/storageinfo?storageid=%zz&&==&storageid=1");
  EXPECT_EQ(oddQuery.status, 400);
  EXPECT_EQ(config("/config/datetime?timezone=99999999999999999999").status, 400);
  EXPECT_EQ(config("/config/nothing").status, 404);
  EXPECT_EQ(config("/config/datetime").status, 200) << "still serving";
}

}  // namespace
