// The simulator playing a site: several recorders at their own addresses, each found by the wizard's own
// search, each with its own password state, disks and cameras, and a request log that tells per recorder
// which requests were writes.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

#include "SiteScenario.h"
#include "net/DeviceCommandWorker.h"
#include "net/DeviceSearch.h"
#include "net/HttpGet.h"

using namespace std::chrono_literals;
using vrx::test::SiteScenario;

namespace {

constexpr int kRecorders = 4;
constexpr char kSetUpPassword[] = "Admin123";

class SiteRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    site_ = new SiteScenario(kRecorders);
    site_->recorder(1).alreadySetUp(kSetUpPassword);
    site_->recorder(2).disk(1, "ST2000DM008", 1907729, 1).camera("door4321").camera("", /*assigned*/ true);
    sim_ = site_->start().release();
  }
  static void TearDownTestSuite() {
    delete sim_;
    delete site_;
  }
  void SetUp() override { ASSERT_TRUE(sim_->ready()) << sim_->error(); }

  // GET path from a recorder's web interface as "admin"; false when the request fails (401 included).
  static bool Get(const SiteScenario::Recorder& r, const std::string& password, const std::string& path,
                  std::string& reply) {
    vrx::net::HttpGet http;
    const bool ok = http.Connect(r.address(), "admin", password, 5000, false, 80) && http.GetText(path, reply);
    http.Close();
    return ok;
  }

  static inline SiteScenario* site_ = nullptr;
  static inline vrx::test::SimProcess* sim_ = nullptr;
};

TEST_F(SiteRun, TheSearchFindsEveryRecorderAtItsOwnAddress) {
  vrx::net::DeviceSearch search;
  ASSERT_EQ(search.Start(), vrx::net::DeviceSearch::kSearching);
  for (int i = 0; i < 70 && search.State() == vrx::net::DeviceSearch::kSearching; ++i)
    std::this_thread::sleep_for(100ms);
  ASSERT_EQ(search.State(), vrx::net::DeviceSearch::kFinished);

  std::map<std::string, std::string> found;  // MAC -> address, unique replies of the recorder model
  for (int i = 0; i < search.ResultCount(); ++i)
    if (search.ModelName(i) == "VRX-410Q") found[search.MacText(i)] = search.Ipv4Text(i);
  ASSERT_EQ(int(found.size()), kRecorders);
  for (int i = 0; i < kRecorders; ++i) EXPECT_EQ(found[site_->recorder(i).mac()], site_->recorder(i).address());
  // The search itself changes nothing.
  EXPECT_TRUE(sim_->writes().empty()) << sim_->writes().dump(1);
}

TEST_F(SiteRun, EachRecorderHasItsOwnPasswordDisksAndCameras) {
  for (int i = 0; i < kRecorders; ++i) {
    SCOPED_TRACE("recorder " + std::to_string(i));
    const SiteScenario::Recorder& r = site_->recorder(i);
    const nlohmann::json state = sim_->recorderState(r.mac());
    ASSERT_TRUE(state.is_object());
    EXPECT_EQ(state["address"], r.address());
    EXPECT_EQ(state["admin_password"], i == 1 ? kSetUpPassword : "");
    EXPECT_EQ(state["cameras"].size(), i == 2 ? 2u : 0u);

    // Over its own web interface: a recorder already set up refuses the blank password.
    std::string hd2;
    ASSERT_EQ(Get(r, "", "/config/storageinfo?storageid=1", hd2), i != 1);
    if (i == 1) {
      ASSERT_TRUE(Get(r, kSetUpPassword, "/config/storageinfo?storageid=1", hd2));
    }
    if (i == 2) {
      EXPECT_NE(hd2.find("modelname=ST2000DM008\r\n"), std::string::npos) << hd2;
      EXPECT_NE(hd2.find("totalsize=1907729\r\n"), std::string::npos) << hd2;
      EXPECT_EQ(state["disks"][1]["model"], "ST2000DM008");
    } else {
      EXPECT_NE(hd2.find("plug=0\r\n"), std::string::npos) << hd2;
    }
  }
  EXPECT_NE(sim_->recorderState(site_->recorder(0).mac())["cloud"]["portal_number"],
            sim_->recorderState(site_->recorder(3).mac())["cloud"]["portal_number"]);
}

TEST_F(SiteRun, EachRecorderAnswersTheBlankPasswordProbeFromItsOwnAddress) {
  // The worker takes an answer only from the address and port it asked, so each answer here comes from the
  // recorder's own socket.
  using W = vrx::net::DeviceCommandWorker;
  W worker;
  ASSERT_TRUE(worker.OpenDatagram("127.0.0.1"));
  for (int i = 0; i < kRecorders; ++i) {
    SCOPED_TRACE("recorder " + std::to_string(i));
    const SiteScenario::Recorder& r = site_->recorder(i);
    ASSERT_TRUE(worker.CheckAccount(r.address(), vrx::net::kDiscoveryPort, *vrx::net::ParseMacText(r.mac()), "admin",
                                    ""));
    for (int poll = 0; poll < 40 && worker.Status() == W::kBusy; ++poll) std::this_thread::sleep_for(100ms);
    ASSERT_EQ(worker.Status(), W::kDone);
    EXPECT_EQ(worker.AccountCheckResult(), i == 1 ? 0 : 1);  // already set up: the blank password is refused
  }
}

TEST_F(SiteRun, AWriteIsLoggedAgainstItsRecorderOnly) {
  const size_t from = sim_->log().size();
  const SiteScenario::Recorder &written = site_->recorder(0), &read = site_->recorder(3);
  std::string reply;
  ASSERT_TRUE(Get(read, "", "/config/datetime", reply));
  ASSERT_TRUE(Get(written, "", "/config/datetime?timezone=3", reply));

  const nlohmann::json writes = sim_->writes("", from);
  ASSERT_EQ(writes.size(), 1u) << writes.dump(1);
  EXPECT_EQ(writes[0]["recorder"], written.mac());
  EXPECT_EQ(writes[0]["request"], "GET /config/datetime?timezone=3");
  EXPECT_EQ(sim_->writes(written.address(), from).size(), 1u);
  EXPECT_TRUE(sim_->writes(read.mac(), from).empty());
  EXPECT_EQ(sim_->logOf(read.mac(), from).size(), 1u);  // its read is logged against it
  EXPECT_EQ(sim_->recorderState(written.mac())["zone"], 3);
  EXPECT_EQ(sim_->recorderState(read.mac())["zone"], 14);
}

}  // namespace
