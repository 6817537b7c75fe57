#include "SiteScenario.h"

#include <cstdio>

namespace vrx::test {
namespace {
std::string Printed(const char *format, int a, int b = 0) {
  char text[32];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

nlohmann::json Disk(const std::string &model, int sizeMb, int fileSystem) {
  return {{"plugged", true}, {"ready", true}, {"fs", fileSystem}, {"model", model}, {"size_mb", sizeMb}};
}
}  // namespace

SiteScenario::Recorder::Recorder(int index)
    : index_(index),
      address_(Printed("127.0.11.%d", index + 1)),
      mac_(Printed("00:1d:4f:a1:00:%.2x", index + 1)) {
  spec_ = {{"name", Printed("NVR-0B1%.3d", index + 1)},
           {"address", address_},
           {"mac", mac_},
           {"auth", "basic"},
           {"admin_password", ""},
           {"zone", 14},
           {"format_seconds", 2},
           {"disks", {Disk("WDC WD10EZEX", 953869, 4), {{"plugged", false}}}},
           {"cameras", nlohmann::json::array()}};
}

SiteScenario::Recorder &SiteScenario::Recorder::alreadySetUp(const std::string &adminPassword) {
  spec_["admin_password"] = adminPassword;
  return *this;
}

SiteScenario::Recorder &SiteScenario::Recorder::disk(int bay, const std::string &model, int sizeMb, int fileSystem) {
  spec_["disks"].at(size_t(bay)) = Disk(model, sizeMb, fileSystem);
  return *this;
}

SiteScenario::Recorder &SiteScenario::Recorder::noDisk(int bay) {
  spec_["disks"].at(size_t(bay)) = {{"plugged", false}};
  return *this;
}

std::string SiteScenario::Recorder::cameraAddress(int n) const {
  return "127.1." + std::to_string(index_ + 1) + "." + std::to_string(n + 1);
}

SiteScenario::Recorder &SiteScenario::Recorder::camera(const std::string &password, bool assigned) {
  const int n = int(spec_["cameras"].size());
  spec_["cameras"].push_back({{"name", "Camera " + std::to_string(n + 1)},
                              {"model", "HVC-2230"},
                              {"address", cameraAddress(n)},
                              {"mac", Printed("00:1d:4f:b1:%.2x:%.2x", index_ + 1, n + 1)},
                              {"auth", "digest"},
                              {"password", password},
                              {"assigned", assigned},
                              {"recorder_account", assigned ? "admin" : ""},
                              {"recorder_password", assigned ? password : ""}});
  return *this;
}

SiteScenario::Recorder &SiteScenario::Recorder::set(const std::string &key, nlohmann::json value) {
  spec_[key] = std::move(value);
  return *this;
}

SiteScenario::SiteScenario(int recorders) {
  for (int i = 0; i < recorders; ++i) recorders_.emplace_back(i);
}

std::string SiteScenario::json() const {
  nlohmann::json list = nlohmann::json::array();
  for (const Recorder &r : recorders_) list.push_back(r.spec());
  const nlohmann::json scenario = {
      {"name", "site of " + std::to_string(recorders_.size())},
      {"recorders", list},
      {"kelvaro",
       {{"address", "127.0.30.1"},
        {"accounts", {{{"email", kAccountEmail}, {"password", kAccountPassword}, {"first_name", "Site"},
                       {"last_name", "Owner"}}}}}}};
  return scenario.dump(1);
}

std::unique_ptr<SimProcess> SiteScenario::start(std::chrono::milliseconds readyTimeout) const {
  return SimProcess::fromText(json(), readyTimeout);
}

}  // namespace vrx::test
