// The session log's file handling and the rule that keeps query values out of it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "net/RequestLog.h"
#include "platform/SessionLog.h"

namespace vrx {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& file) {
  std::ifstream in(file);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class SessionLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("vrx-log-test-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

TEST_F(SessionLogTest, KeepsTheLastThreeRuns) {
  for (int run = 1; run <= 4; ++run) {
    SessionLog log;
    ASSERT_TRUE(log.Open(folder_ / "nested"));
    log.Write("wizard", "run " + std::to_string(run));
  }
  EXPECT_NE(Contents(folder_ / "nested/wizard.log").find("run 4"), std::string::npos);
  EXPECT_NE(Contents(folder_ / "nested/wizard.log.1").find("run 3"), std::string::npos);
  EXPECT_NE(Contents(folder_ / "nested/wizard.log.2").find("run 2"), std::string::npos);
  EXPECT_FALSE(fs::exists(folder_ / "nested/wizard.log.3"));
  EXPECT_EQ(fs::status(folder_ / "nested/wizard.log").permissions() & fs::perms::others_read, fs::perms::none);
}

TEST_F(SessionLogTest, WritesWhatTheNetworkCodeReports) {
  SessionLog log;
  ASSERT_TRUE(log.Open(folder_));
  SetSessionLog(&log);
  net::ReportHttpRequest({"GET", "127.0.11.1", 8080, false, "/config/datetime?timezone=", 200, "", 12});
  net::ReportHttpRequest({"GET", "127.0.10.1", 443, true, "/config/kelvarodiscovery", 0, "Connection refused", 3});
  net::ReportDatagram({"check-account", "127.0.10.1", "127.0.0.1", "no answer in 3 s"});
  SetSessionLog(nullptr);
  net::ReportDatagram({"discover", "255.255.255.255", "", "after the log was removed"});
  const std::string text = Contents(folder_ / "wizard.log");
  EXPECT_NE(text.find("GET http://127.0.11.1:8080/config/datetime?timezone= -> 200 in 12 ms"), std::string::npos) << text;
  EXPECT_NE(text.find("GET https://127.0.10.1/config/kelvarodiscovery -> failed (Connection refused)"), std::string::npos) << text;
  EXPECT_NE(text.find("check-account to 127.0.10.1 from 127.0.0.1: no answer in 3 s"), std::string::npos) << text;
  EXPECT_EQ(text.find("after the log was removed"), std::string::npos) << text;
}

TEST(SessionLogFolderTest, FollowsXdgStateHome) {
  const char* old = std::getenv("XDG_STATE_HOME");
  const std::string saved = old ? old : "";
  ::setenv("XDG_STATE_HOME", "/var/tmp/state", 1);
  EXPECT_EQ(SessionLog::DefaultFolder(), fs::path("/var/tmp/state/vrx-setup-wizard"));
  ::setenv("XDG_STATE_HOME", "relative/state", 1);  // not absolute: ignored, as the base directory rules say
  ::setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(SessionLog::DefaultFolder(), fs::path("/home/someone/.local/state/vrx-setup-wizard"));
  if (old) ::setenv("XDG_STATE_HOME", saved.c_str(), 1);
  else ::unsetenv("XDG_STATE_HOME");
}

struct PathCase {
  const char* path;
  const char* logged;
};

class QueryValuesTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(QueryValuesTest, NamesStayValuesGo) { EXPECT_EQ(net::PathWithoutQueryValues(GetParam().path), GetParam().logged); }

INSTANTIATE_TEST_SUITE_P(
    Paths, QueryValuesTest,
    ::testing::Values(PathCase{"/config/storageinfo", "/config/storageinfo"},
                      PathCase{"/config/datetime?timezone=14", "/config/datetime?timezone="},
                      PathCase{"/system.cgi?AdminID=admin&AdminPassword=s3cr%26t&ConfigReboot=No",
                               "/system.cgi?AdminID=&AdminPassword=&ConfigReboot="},
                      PathCase{"/config/addavdev?account=YWRtaW4=&pass=c2VjcmV0MTI=", "/config/addavdev?account=&pass="},
                      PathCase{"/account/?signin", "/account/?signin"},
                      PathCase{"/userlist.cgi?", "/userlist.cgi?"},
                      PathCase{"/a?x=1;y=2#token=abc", "/a?x=;y="}));

}  // namespace
}  // namespace vrx
