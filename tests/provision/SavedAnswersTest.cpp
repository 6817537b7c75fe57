// The wizard's --save-answers file (steps/answers/AnswerFileWriter.h): the road taken, written from the run's
// record and read back by vrx-provision's own reader without an error, mode 0600 whatever stood at the path,
// and not one of the run's passwords in it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "AnswerFolder.h"
#include "app/WizardState.h"
#include "steps/answers/AnswerFileWriter.h"

namespace vrx::provision {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<steps::CameraRecord> Camera(const char* address, const char* password, bool added, bool created) {
  auto c = std::make_unique<steps::CameraRecord>();
  c->address = address;
  c->cameraId = "001D4FB10101";
  c->model = "HVC-2230";
  c->password = net::Secret(password);
  c->verified = 1;
  c->selected = added ? 1 : 0;
  c->added = added ? 1 : 0;
  c->created = created ? 1 : 0;
  return c;
}

// A run that went the whole road: a new password, zone 15, both disks formatted (HD2's model with a quote and a
// backslash, and no size), a known camera and a created one added, a third one seen but not added, signed in.
WizardState WholeRoad() {
  WizardState s;
  s.recorderIp = "127.0.11.1";
  s.recorderMac = "00:1D:4F:A1:00:01";  // as the search page keeps it
  s.adminUser = "admin";
  s.adminPassword = net::Secret("Nvr01pass");
  s.timeZone = 15;
  s.formattedDisks = {{1, "WDC WD10EZEX", 953869}, {2, "ST2000 \"DM\" \\008", 0}};
  s.cameras.push_back(Camera("127.1.1.1", "door4321", true, false));
  s.cameras.push_back(Camera("127.1.1.2:8080", "yard2468", true, true));
  s.cameras.push_back(Camera("127.1.1.3", "other999", false, false));
  s.cloudEmail = "owner@kelvaro.test";
  s.cloudPassword = net::Secret("kelvaro1");
  return s;
}

std::string Contents(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

class SavedAnswers : public testing::Test {
 protected:
  SavedAnswers() {
    folder_.env = {{steps::kAdminPasswordEnv, "Nvr01pass"},
                   {"CAM1_PW", "door4321"},
                   {"CAM2_PW", "yard2468"},
                   {steps::kCloudPasswordEnv, "kelvaro1"}};
  }
  standin::AnswerFolder folder_;
  std::string path_ = folder_.Path("saved.toml");
};

TEST_F(SavedAnswers, TheWholeRoadReadsBackCleanPrivateAndWithoutAPassword) {
  {
    std::ofstream(path_) << "an earlier file that others could read\n";
    ::chmod(path_.c_str(), 0644);
  }
  const WizardState state = WholeRoad();
  QString why;
  ASSERT_TRUE(steps::WriteAnswerFile(QString::fromStdString(path_), state.Road(), &why)) << why.toStdString();

  struct stat st{};
  ASSERT_EQ(::stat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  const std::string text = Contents(path_);
  for (const char* secret : {"Nvr01pass", "door4321", "yard2468", "other999", "kelvaro1"})
    EXPECT_EQ(text.find(secret), std::string::npos) << secret << " in\n" << text;
  EXPECT_EQ(text.find("127.1.1.3"), std::string::npos) << "a camera that was not added";

  const AnswerFileResult read = ReadAnswerFile(path_, folder_.Env());
  ASSERT_TRUE(read.errors.empty()) << FormatAnswerError(path_, read.errors.front()) << "\n" << text;
  ASSERT_EQ(read.plan->recorders.size(), 1u);
  const RecorderAnswer& r = read.plan->recorders[0];
  EXPECT_EQ(r.mac, "00:1d:4f:a1:00:01");
  EXPECT_EQ(r.adminPassword.View(), "Nvr01pass");
  EXPECT_EQ(r.ifSetUp, IfSetUp::Stop);
  EXPECT_EQ(r.zone.number, 15);
  EXPECT_TRUE(r.shortcut);
  EXPECT_FALSE(r.removeUnlistedCameras);
  ASSERT_EQ(r.disks.size(), 2u);
  EXPECT_EQ(r.disks[0].bay, 1);
  EXPECT_EQ(r.disks[0].model, "WDC WD10EZEX");
  EXPECT_EQ(r.disks[0].sizeMb, 953869);
  EXPECT_TRUE(r.disks[0].format);
  EXPECT_EQ(r.disks[1].bay, 2);
  EXPECT_EQ(r.disks[1].model, "ST2000 \"DM\" \\008");
  EXPECT_EQ(r.disks[1].sizeMb, std::nullopt);
  ASSERT_EQ(r.cameras.size(), 2u);
  EXPECT_EQ(r.cameras[0].address, "127.1.1.1");
  EXPECT_FALSE(r.cameras[0].create);
  EXPECT_EQ(r.cameras[0].password.View(), "door4321");
  EXPECT_EQ(r.cameras[1].address, "127.1.1.2:8080");
  EXPECT_TRUE(r.cameras[1].create);
  EXPECT_EQ(r.cameras[1].password.View(), "yard2468");
  EXPECT_EQ(r.cloud.mode, CloudMode::SignIn);
  EXPECT_EQ(r.cloud.email, "owner@kelvaro.test");
  EXPECT_EQ(r.cloud.password.View(), "kelvaro1");
}

TEST_F(SavedAnswers, AShortRoadSkipsTheCloudAndListsNoDiskOrCamera) {
  WizardState state;
  state.recorderMac = "00:1d:4f:a1:00:02";
  state.adminPassword = net::Secret("Nvr01pass");
  state.timeZone = 3;
  QString why;
  ASSERT_TRUE(steps::WriteAnswerFile(QString::fromStdString(path_), state.Road(), &why)) << why.toStdString();
  const AnswerFileResult read = ReadAnswerFile(path_, folder_.Env());
  ASSERT_TRUE(read.errors.empty()) << FormatAnswerError(path_, read.errors.front()) << "\n" << Contents(path_);
  const RecorderAnswer& r = read.plan->recorders.at(0);
  EXPECT_EQ(r.cloud.mode, CloudMode::Skip);
  EXPECT_TRUE(r.disks.empty());
  EXPECT_TRUE(r.cameras.empty());
}

// A link planted at the path is replaced, never written through; a road that cannot be named leaves nothing.
TEST_F(SavedAnswers, NeitherALinkAtThePathNorABadMacLeadsAnywhere) {
  const std::string victim = folder_.Path("victim");
  std::ofstream(victim) << "mine\n";
  fs::create_symlink(victim, path_);
  QString why;
  ASSERT_TRUE(steps::WriteAnswerFile(QString::fromStdString(path_), WholeRoad().Road(), &why));
  EXPECT_FALSE(fs::is_symlink(path_));
  EXPECT_EQ(Contents(victim), "mine\n");

  WizardState unnamed = WholeRoad();
  unnamed.recorderMac = "not a mac";
  const std::string other = folder_.Path("other.toml");
  EXPECT_FALSE(steps::WriteAnswerFile(QString::fromStdString(other), unnamed.Road(), &why));
  EXPECT_NE(why.toStdString().find("MAC"), std::string::npos) << why.toStdString();
  EXPECT_FALSE(fs::exists(other));
  for (const auto& entry : fs::directory_iterator(fs::path(path_).parent_path()))
    EXPECT_EQ(entry.path().filename().string().rfind(".saved", 0), std::string::npos) << "a leftover";
}

}  // namespace
}  // namespace vrx::provision
