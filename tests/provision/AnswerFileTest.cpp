// The answer file: a table of bad files, each with where its error stands and what it says; a good file read
// into its plan; every error of a file listed, not the first; no secret in any message.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <functional>

#include "AnswerFile.h"
#include "AnswerFolder.h"
#include "SecretsFile.h"

namespace vrx::provision {
namespace {

using standin::AnswerFolder;

// A recorder that every case below starts from: everything it needs, nothing more.
constexpr const char* kHead =
    "version = 1\n"                             // 1
    "[defaults]\n"                              // 2
    "time_zone = \"(GMT+01:00) Amsterdam\"\n"   // 3
    "shortcut = true\n"                         // 4
    "[defaults.cloud]\n"                        // 5
    "mode = \"skip\"\n"                         // 6
    "\n"                                        // 7
    "[[recorder]]\n"                            // 8
    "mac = \"00:1b:2c:3d:4e:5f\"\n"             // 9
    "admin_password_file = \"secrets/nvr\"\n";  // 10

std::string Camera(const std::string& address) {
  return "  [[recorder.camera]]\n  address = \"" + address + "\"\n  password_env = \"CAM_PW\"\n";
}

struct BadFile {
  const char* name;
  std::string text;
  mode_t mode;
  std::string at;  // "line:col"
  std::string key;
  std::string message;  // a part of the message
  std::function<void(AnswerFolder&)> setUp = {};
};

std::string WithCloud(const std::string& cloudKeys) {
  std::string text = kHead;
  return text.replace(text.find("mode = \"skip\"\n"), 14, cloudKeys);
}

void PrintTo(const BadFile& f, std::ostream* os) { *os << f.name; }

class BadAnswerFile : public testing::TestWithParam<BadFile> {};

TEST_P(BadAnswerFile, IsRefusedWhereTheFaultStands) {
  const BadFile& f = GetParam();
  AnswerFolder folder;
  if (f.setUp) f.setUp(folder);
  const AnswerFileResult result = folder.Read(f.text, f.mode);
  EXPECT_FALSE(result.plan);
  // One error, no knock-on error from it.
  ASSERT_EQ(result.errors.size(), 1u) << FormatAnswerError("site.toml", result.errors.front()) << " and "
                                      << FormatAnswerError("site.toml", result.errors.back());
  // What reaches the terminal is clean, whatever the file's key names hold.
  for (const char c : FormatAnswerError("site.toml", result.errors.front()))
    EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7f) << int(c);
  const AnswerError& e = result.errors.front();
  EXPECT_EQ(std::to_string(e.place.line) + ":" + std::to_string(e.place.column), f.at);
  EXPECT_EQ(e.key, f.key);
  EXPECT_NE(e.message.find(f.message), std::string::npos) << e.message;
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadAnswerFile,
    testing::Values(
        BadFile{"unknown_key", std::string(kHead) + "colour = \"red\"\n", 0600, "11:1", "recorder.colour",
                "unknown key"},
        BadFile{"unknown_key_in_a_camera", std::string(kHead) + Camera("192.0.2.21") + "  passwd = \"x\"\n", 0600,
                "14:3", "recorder.camera.passwd", "unknown key"},
        BadFile{"duplicate_key", std::string(kHead) + "mac = \"00:1b:2c:3d:4e:60\"\n", 0600, "11:7", "syntax",
                "cannot redefine existing string 'mac'"},
        BadFile{"five_cameras",
                std::string(kHead) + Camera("192.0.2.21") + Camera("192.0.2.22") + Camera("192.0.2.23") +
                    Camera("192.0.2.24") + Camera("192.0.2.25"),
                0600, "23:3", "recorder.camera", "at most 4 cameras"},
        BadFile{"admin_password_the_rule_refuses",
                std::string(kHead).replace(std::string(kHead).find("admin_password_file = \"secrets/nvr\""), 35,
                                           "admin_password_env = \"SHORT_PW\""),
                0600, "10:1", "recorder.admin_password_env", "6-31 characters"},
        BadFile{"camera_password_the_rule_refuses",
                std::string(kHead) + "  [[recorder.camera]]\n  address = \"192.0.2.23\"\n  create = true\n  "
                                     "new_password_env = \"SLASH_PW\"\n",
                0600, "14:3", "recorder.camera.new_password_env", "must not contain \"/\", \":\", \"&\" or a blank"},
        BadFile{"secret_file_readable_by_others", kHead, 0600, "10:1", "recorder.admin_password_file",
                "secrets/nvr is readable or writable by others (mode 0644)",
                [](AnswerFolder& f) { f.WriteSecret("secrets/nvr", "Nvr01pass", 0644); }},
        BadFile{"secret_file_ending_in_a_blank_line", kHead, 0600, "10:1", "recorder.admin_password_file",
                "the file ends in a blank line or a space after the password",
                [](AnswerFolder& f) { f.WriteSecret("secrets/nvr", "Nvr01pass\n\n"); }},
        BadFile{"secret_file_that_is_a_link", kHead, 0600, "10:1", "recorder.admin_password_file",
                "secrets/nvr is a symbolic link",
                [](AnswerFolder& f) {
                  f.WriteSecret("secrets/real", "Nvr01pass");
                  std::filesystem::remove(f.Path("secrets/nvr"));
                  std::filesystem::create_symlink("real", f.Path("secrets/nvr"));
                }},
        BadFile{"broadcast_mac", std::string(kHead).replace(std::string(kHead).find("00:1b:2c:3d:4e:5f"), 17,
                                                             "ff:ff:ff:ff:ff:ff"),
                0600, "9:1", "recorder.mac", "broadcast or group address"},
        BadFile{"one_camera_with_and_without_port_80", std::string(kHead) + Camera("127.1.1.1") + Camera("127.1.1.1:80"),
                0600, "14:3", "recorder.camera", "127.1.1.1:80 is listed twice"},
        BadFile{"one_camera_under_two_recorders",
                std::string(kHead) + Camera("192.0.2.21") +
                    "[[recorder]]\nmac = \"00:1b:2c:3d:4e:60\"\nadmin_password_env = \"NVR_PW\"\n" +
                    Camera("192.0.2.21:80"),
                0600, "17:3", "recorder.camera", "is listed under recorder 00:1b:2c:3d:4e:5f too"},
        BadFile{"sign_up_without_names",
                WithCloud("mode = \"sign_up\"\nemail = \"a@example.com\"\npassword_env = \"CLOUD_PW\"\n"), 0600,
                "5:1", "defaults.cloud.first_name", "sign_up needs first_name and last_name"},
        BadFile{"mistyped_cloud_mode",
                WithCloud("mode = \"signin\"\nemail = \"a@example.com\"\npassword_env = \"CLOUD_PW\"\n"), 0600,
                "6:1", "defaults.cloud.mode", "must be one of"},
        BadFile{"wrong_typed_shortcut",
                std::string(kHead).replace(std::string(kHead).find("shortcut = true"), 15, "shortcut = \"yes\""),
                0600, "4:1", "defaults.shortcut", "must be true or false"},
        BadFile{"version_as_a_string", "version = \"1\"\n" + std::string(kHead).substr(12), 0600, "1:1", "version",
                "must be the number 1, without quotes"},
        BadFile{"escape_sequences_in_a_key_name", std::string(kHead) + "\"\\u001b]0;owned\\u0007\\u001b[2J\" = 1\n",
                0600, "11:1", "recorder.]0;owned[2J", "unknown key"},
        BadFile{"inline_secret_in_a_file_others_read",
                std::string(kHead) + "  [[recorder.camera]]\n  address = \"192.0.2.21\"\n  password = \"door4321\"\n",
                0644, "13:3", "recorder.camera.password", "an inline secret needs an answer file nobody else can read"},
        BadFile{"environment_variable_not_set",
                std::string(kHead) + "  [[recorder.camera]]\n  address = \"192.0.2.21\"\n  password_env = \"NOPE\"\n",
                0600, "13:3", "recorder.camera.password_env", "environment variable NOPE is not set"},
        BadFile{"missing_mac", std::string(kHead).replace(std::string(kHead).find("mac = "), 26, ""), 0600, "8:1",
                "recorder.mac", "missing"},
        BadFile{"missing_version", std::string(kHead).substr(12), 0600, "1:1", "version", "missing"},
        BadFile{"missing_admin_password",
                std::string(kHead).replace(std::string(kHead).find("admin_password_file"), 36, ""), 0600, "8:1",
                "recorder.admin_password", "missing: give admin_password_file"},
        BadFile{"reconfigure_without_the_current_password", std::string(kHead) + "if_set_up = \"reconfigure\"\n", 0600,
                "8:1", "recorder.current_admin_password", "missing"},
        BadFile{"two_forms_of_one_secret", std::string(kHead) + "admin_password_env = \"NVR_PW\"\n", 0600, "10:1",
                "recorder.admin_password_file", "give only one of"},
        BadFile{"camera_without_address_or_id",
                std::string(kHead) + "  [[recorder.camera]]\n  password_env = \"CAM_PW\"\n", 0600, "11:3",
                "recorder.camera.address", "give address or id"},
        BadFile{"disk_in_no_bay", std::string(kHead) + "  [[recorder.disk]]\n  bay = 3\n  model = \"X\"\n", 0600,
                "12:3", "recorder.disk.bay", "from 1 to 2"},
        BadFile{"version_two", "version = 2\n" + std::string(kHead).substr(12), 0600, "1:1", "version", "must be 1"}),
    [](const testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });

TEST(AnswerFile, TheIssuesExampleBecomesAPlan) {
  AnswerFolder folder;
  const AnswerFileResult result = folder.Read(
      std::string(kHead) +
      "time_zone_number = 17\n"
      "remove_unlisted_cameras = true\n"
      "  [[recorder.disk]]\n  bay = 2\n  model = \"WDC WD10EZEX\"\n  size_mb = 953869\n  format = true\n" +
      Camera("192.0.2.21") +
      "  [[recorder.camera]]\n  id = \"001D4FA02005\"\n  create = true\n  new_password_file = \"secrets/cam\"\n"
      "  [recorder.cloud]\n  mode = \"sign_up\"\n  email = \"owner@example.com\"\n"
      "  password_env = \"CLOUD_PW\"\n  first_name = \"Ana\"\n  last_name = \"Lim\"\n");
  ASSERT_TRUE(result.errors.empty()) << FormatAnswerError("site.toml", result.errors.front());
  ASSERT_EQ(result.plan->recorders.size(), 1u);
  const RecorderAnswer& r = result.plan->recorders[0];
  EXPECT_EQ(r.mac, "00:1b:2c:3d:4e:5f");
  EXPECT_EQ(r.adminPassword.View(), "Nvr01pass");  // the file's line break is not part of it
  EXPECT_EQ(r.zone.number, 17);                    // the recorder's own answer wins over [defaults]
  EXPECT_TRUE(r.zone.name.empty());
  EXPECT_TRUE(r.shortcut);
  EXPECT_TRUE(r.removeUnlistedCameras);
  ASSERT_EQ(r.disks.size(), 1u);
  EXPECT_EQ(r.disks[0].bay, 2);
  EXPECT_EQ(r.disks[0].sizeMb, 953869);
  ASSERT_EQ(r.cameras.size(), 2u);
  EXPECT_EQ(r.cameras[0].password.View(), "door4321");
  EXPECT_EQ(r.cameras[1].id, "001D4FA02005");
  EXPECT_EQ(r.cameras[1].password.View(), "cam23pass");
  EXPECT_EQ(r.cloud.mode, CloudMode::SignUp);
  EXPECT_EQ(r.cloud.password.View(), "kelvaro1");
  EXPECT_EQ(r.cloud.lastName, "Lim");
}

TEST(AnswerFile, ListsEveryErrorInFileOrderAndNoSecret) {
  AnswerFolder folder;
  const AnswerFileResult result =
      folder.Read(std::string(kHead) + "admin_password_env = \"NVR_PW\"\n" +
                  "[[recorder]]\nmac = \"00:1b:2c:3d:4e:60\"\n" + "admin_password_env = \"SHORT_PW\"\n" +
                  "  [[recorder.camera]]\n  address = \"not-an-address\"\n  password_env = \"CAM_PW\"\n" +
                  "[[recorder]]\nmac = \"00:1b:2c:3d:4e:5f\"\nadmin_password = \"Nvr03pass\"\n");
  std::vector<std::string> lines;
  for (const AnswerError& e : result.errors) lines.push_back(FormatAnswerError("site.toml", e));
  const std::vector<std::string> expected = {
      "site.toml:10:1: recorder.admin_password_file: give only one of admin_password, admin_password_file and "
      "admin_password_env",
      "site.toml:14:1: recorder.admin_password_env: must be 6-31 characters, ASCII letters and digits only",
      "site.toml:16:3: recorder.camera.address: is not an IPv4 address (a.b.c.d or a.b.c.d:port)",
      "site.toml:19:1: recorder.mac: 00:1b:2c:3d:4e:5f is listed twice",
  };
  EXPECT_EQ(lines, expected);
  for (const std::string& line : lines)
    for (const char* secret : {"Nvr01pass", "Nvr02pass", "Nvr03pass", "abc", "door4321"})
      EXPECT_EQ(line.find(secret), std::string::npos) << line;
}

// Files that are not what a secret or an answer file is: refused at once, never waited on.
TEST(AnswerFile, AFifoOrAFolderIsRefusedAtOnce) {
  AnswerFolder folder;
  std::filesystem::remove(folder.Path("secrets/nvr"));
  ASSERT_EQ(::mkfifo(folder.Path("secrets/nvr").c_str(), 0600), 0);
  const auto started = std::chrono::steady_clock::now();
  const AnswerFileResult fifo = folder.Read(kHead);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));  // a blocking open never returns
  ASSERT_EQ(fifo.errors.size(), 1u);
  EXPECT_EQ(fifo.errors[0].message, "secrets/nvr is not a regular file");

  const AnswerFileResult directory = ReadAnswerFile(folder.Path("secrets"), folder.Env());
  ASSERT_EQ(directory.errors.size(), 1u);
  EXPECT_EQ(directory.errors[0].message, "the answer file is a directory, not a file");
}

TEST(SecretsFile, GivesTheEnvNamesAndRefusesWhatIsNotPrivateOrNotAString) {
  AnswerFolder folder;
  folder.WriteSecret("secrets.toml", "CAM_PW = \"s3cret99\"\nNVR_PW = \"Nvr09pass\"\n");
  SecretsFileResult good = ReadSecretsFile(folder.Path("secrets.toml"));
  ASSERT_TRUE(good.errors.empty()) << good.errors[0].message;
  auto secrets = std::make_shared<const std::map<std::string, net::Secret>>(std::move(good.secrets));
  const Environment env = WithSecrets(secrets, folder.Env());
  EXPECT_EQ(env("CAM_PW"), "s3cret99");   // the secrets file first
  EXPECT_EQ(env("CLOUD_PW"), "kelvaro1");  // then the environment
  EXPECT_EQ(env("NOPE"), std::nullopt);

  struct Case {
    const char* text;
    mode_t mode;
    const char* message;
  };
  for (const Case& c : {Case{"CAM_PW = \"s3cret99\"\n", 0640, "readable or writable by others"},
                        Case{"CAM_PW = 1234\n", 0600, "must be a quoted string"},
                        Case{"CAM_PW = \"\"\n", 0600, "must not be empty"},
                        Case{"CAM_PW = \"s3cret99\n", 0600, "not a NAME = \"value\" line"}}) {
    folder.WriteSecret("secrets.toml", c.text, c.mode);
    const SecretsFileResult bad = ReadSecretsFile(folder.Path("secrets.toml"));
    ASSERT_EQ(bad.errors.size(), 1u) << c.text;
    EXPECT_NE(bad.errors[0].message.find(c.message), std::string::npos) << bad.errors[0].message;
    EXPECT_EQ(bad.errors[0].message.find("s3cret99"), std::string::npos);
    EXPECT_TRUE(bad.secrets.empty());
  }
}

}  // namespace
}  // namespace vrx::provision
