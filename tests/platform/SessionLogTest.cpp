// The session log's file handling and the rule that keeps query values out of it.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>

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

// The modes come with the creation itself: even with a umask that lets everyone in, the folder is 0700 and the
// file 0600 from the first moment.
TEST_F(SessionLogTest, FolderAndFileArePrivateFromTheStart) {
  const mode_t saved = ::umask(0);
  SessionLog log;
  const bool opened = log.Open(folder_ / "state" / "vrx");
  ::umask(saved);
  ASSERT_TRUE(opened);
  EXPECT_EQ(fs::status(folder_ / "state").permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(folder_ / "state/vrx").permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(folder_ / "state/vrx/wizard.log").permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// What another user (or a program of theirs) may have left in the folder's place or in it.
struct PlantedCase {
  const char* what;
  void (*plant)(const fs::path& folder, const fs::path& victim);
  bool opens;
};

class PlantedLogTest : public SessionLogTest, public ::testing::WithParamInterface<PlantedCase> {};

TEST_P(PlantedLogTest, NothingPlantedIsFollowed) {
  const fs::path log = folder_ / "log";
  const fs::path victim = folder_ / "victim";
  fs::create_directories(victim);
  { std::ofstream(victim / "precious") << "keep me"; }
  GetParam().plant(log, victim);
  {
    SessionLog session;
    EXPECT_EQ(session.Open(log), GetParam().opens) << GetParam().what;
    session.Write("wizard", "a line");
  }
  EXPECT_EQ(Contents(victim / "precious"), "keep me") << GetParam().what;
  EXPECT_FALSE(fs::exists(victim / "wizard.log")) << GetParam().what;
  if (GetParam().opens) {
    EXPECT_FALSE(fs::is_symlink(log / "wizard.log")) << GetParam().what;
    EXPECT_NE(Contents(log / "wizard.log").find("a line"), std::string::npos) << GetParam().what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Planted, PlantedLogTest,
    ::testing::Values(
        PlantedCase{"the log file is a link to another file",
                    [](const fs::path& f, const fs::path& v) {
                      fs::create_directories(f);
                      fs::permissions(f, fs::perms::owner_all);
                      fs::create_symlink(v / "precious", f / "wizard.log");
                    },
                    true},
        PlantedCase{"every kept file is a link",
                    [](const fs::path& f, const fs::path& v) {
                      fs::create_directories(f);
                      fs::permissions(f, fs::perms::owner_all);
                      for (const char* name : {"wizard.log", "wizard.log.1", "wizard.log.2"})
                        fs::create_symlink(v / "precious", f / name);
                    },
                    true},
        PlantedCase{"the folder is a link to another folder",
                    [](const fs::path& f, const fs::path& v) { fs::create_directory_symlink(v, f); }, false},
        PlantedCase{"others may write into the folder",
                    [](const fs::path& f, const fs::path&) {
                      fs::create_directories(f);
                      fs::permissions(f, fs::perms::all);
                    },
                    false}));

TEST_F(SessionLogTest, WritesWhatTheNetworkCodeReports) {
  SessionLog log;
  ASSERT_TRUE(log.Open(folder_));
  SetSessionLog(&log);
  net::ReportHttpRequest({"GET", "127.0.11.1", 8080, false, "/config/datetime?timezone=", 200, "", 12});
  net::ReportHttpRequest({"GET", "127.0.10.1", 443, true, "/config/kelvarodiscovery", 0, "Connection refused", 3});
  net::ReportDatagram({"check-account", "127.0.10.1", "127.0.0.1", "no answer in 3 s"});
  net::ReportWarning("trusting the extra CA certificates of /tmp/ca.pem");
  // A peer's text can neither forge a line nor reach a terminal that shows the file.
  net::ReportHttpRequest({"GET", "cam\x1b[2J\n2026-01-01 00:00:00.000  wizard  forged\xff", 80, false, "/", 0, "x", 1});
  SetSessionLog(nullptr);
  net::ReportDatagram({"discover", "255.255.255.255", "", "after the log was removed"});
  const std::string text = Contents(folder_ / "wizard.log");
  EXPECT_NE(text.find("GET http://127.0.11.1:8080/config/datetime?timezone= -> 200 in 12 ms"), std::string::npos) << text;
  EXPECT_NE(text.find("GET https://127.0.10.1/config/kelvarodiscovery -> failed (Connection refused)"), std::string::npos) << text;
  EXPECT_NE(text.find("check-account to 127.0.10.1 from 127.0.0.1: no answer in 3 s"), std::string::npos) << text;
  EXPECT_EQ(text.find("after the log was removed"), std::string::npos) << text;
  EXPECT_NE(text.find("WARNING trusting the extra CA certificates of /tmp/ca.pem"), std::string::npos) << text;
  EXPECT_EQ(text.find('\x1b'), std::string::npos) << text;
  EXPECT_NE(text.find("GET http://cam[2J2026-01-01 00:00:00.000  wizard  forged\uFFFD/ -> failed (x)"), std::string::npos)
      << text;
}

TEST(SessionLogFolderTest, FollowsXdgStateHome) {
  const char* old = std::getenv("XDG_STATE_HOME");
  const std::string saved = old ? old : "";
  const char* oldHome = std::getenv("HOME");
  const std::string savedHome = oldHome ? oldHome : "";
  ::setenv("XDG_STATE_HOME", "/var/tmp/state", 1);
  EXPECT_EQ(SessionLog::DefaultFolder(), fs::path("/var/tmp/state/vrx-setup-wizard"));
  ::setenv("XDG_STATE_HOME", "relative/state", 1);  // not absolute: ignored, as the base directory rules say
  ::setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(SessionLog::DefaultFolder(), fs::path("/home/someone/.local/state/vrx-setup-wizard"));
  // A session started without HOME: the home of the password database, never a shared folder such as /tmp.
  ::unsetenv("HOME");
  const passwd* me = ::getpwuid(::getuid());
  ASSERT_NE(me, nullptr);
  EXPECT_EQ(SessionLog::DefaultFolder(), fs::path(me->pw_dir) / ".local/state/vrx-setup-wizard");
  if (old) ::setenv("XDG_STATE_HOME", saved.c_str(), 1);
  else ::unsetenv("XDG_STATE_HOME");
  if (oldHome) ::setenv("HOME", savedHome.c_str(), 1);
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
