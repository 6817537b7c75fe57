#pragma once
// A folder of its own per test with an answer file, its secret files (mode 0600 unless a test says otherwise)
// and a made-up environment; removed with the object.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "AnswerFile.h"

namespace vrx::provision::standin {

namespace fs = std::filesystem;

class AnswerFolder {
 public:
  AnswerFolder()
      : dir_(fs::temp_directory_path() /
             ("vrx-answers-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++))) {
    fs::create_directories(dir_ / "secrets");
    WriteSecret("secrets/nvr", "Nvr01pass\n");
    WriteSecret("secrets/cam", "cam23pass");
    env = {{"NVR_PW", "Nvr02pass"},
           {"CAM_PW", "door4321"},
           {"CLOUD_PW", "kelvaro1"},
           {"SHORT_PW", "abc"},
           {"SLASH_PW", "cam/2345"}};
  }
  ~AnswerFolder() { fs::remove_all(dir_); }

  void WriteSecret(const std::string& name, const std::string& text, mode_t mode = 0600) {
    const fs::path path = dir_ / name;
    std::ofstream(path) << text;
    ::chmod(path.c_str(), mode);
  }
  std::string WriteAnswers(const std::string& text, mode_t mode = 0600) {
    const fs::path path = dir_ / "site.toml";
    std::ofstream(path, std::ios::trunc) << text;
    ::chmod(path.c_str(), mode);
    return path.string();
  }
  AnswerFileResult Read(const std::string& text, mode_t mode = 0600) {
    const std::string path = WriteAnswers(text, mode);
    return ReadAnswerFile(path, Env());
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  Environment Env() {
    return [this](const std::string& name) -> std::optional<std::string> {
      auto it = env.find(name);
      if (it == env.end()) return std::nullopt;
      return it->second;
    };
  }

  std::map<std::string, std::string> env;

 private:
  static inline int counter_ = 0;
  fs::path dir_;
};

}  // namespace vrx::provision::standin
