#include "Survey.h"

#include <nlohmann/json.hpp>

#include "Report.h"
#include "net/PeerText.h"

namespace vrx::provision {

namespace {

using Json = nlohmann::ordered_json;

std::string Clean(const std::string& peerText) { return FitText(net::CleanPeerText(peerText), 128); }

// A TOML basic string of a cleaned text (no control characters are left to escape).
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : Clean(text)) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::string SurveyJson(const SurveyedRecorder& r, bool withZones) {
  Json line = {{"type", "recorder"},  {"mac", r.mac},       {"address", Clean(r.address)},
               {"web_port", r.webPort}, {"new", r.isNew}};
  if (r.disks) {
    Json disks = Json::array();
    for (const SurveyedDisk& d : *r.disks)
      disks.push_back({{"bay", d.bay},
                       {"plugged", d.plugged},
                       {"model", Clean(d.model)},
                       {"size_mb", d.sizeMb},
                       {"formatted", d.formatted}});
    line["disks"] = disks;
  } else {
    line["disks"] = nullptr;
  }
  if (r.cameras) {
    Json cameras = Json::array();
    for (const SurveyedCamera& c : *r.cameras)
      cameras.push_back(
          {{"id", Clean(c.id)}, {"address", Clean(c.address)}, {"model", Clean(c.model)}, {"assigned", c.assigned}});
    line["cameras"] = cameras;
  } else {
    line["cameras"] = nullptr;
  }
  line["zone"] = r.zone ? Json{{"name", Clean(r.zone->name)}, {"number", r.zone->number}} : Json(nullptr);
  line["cloud"] = r.cloud ? Json{{"offered", r.cloud->offered},
                                 {"registered", r.cloud->registered},
                                 {"email", Clean(r.cloud->email)}}
                          : Json(nullptr);
  if (withZones) {
    Json zones = Json::array();
    if (r.zones)
      for (const std::string& z : *r.zones) zones.push_back(Clean(z));
    line["zones"] = r.zones ? zones : Json(nullptr);
  }
  if (!r.note.empty()) line["note"] = r.note;
  return line.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string SurveyTable(const std::vector<SurveyedRecorder>& recorders, bool withZones) {
  if (recorders.empty()) return "No VRX-410Q answered the search.\n";
  std::string text = "MAC                ADDRESS             NEW  DISKS  CAMERAS  ZONE\n";
  auto pad = [](std::string s, std::size_t width) {
    s = FitText(s, width);
    s.append(width > s.size() ? width - s.size() : 0, ' ');
    return s;
  };
  for (const SurveyedRecorder& r : recorders) {
    const std::string address = Clean(r.address) + (r.webPort != 80 ? ":" + std::to_string(r.webPort) : "");
    std::string disks = "-", cameras = "-", zone = "-";
    if (r.disks) {
      int plugged = 0;
      for (const SurveyedDisk& d : *r.disks) plugged += d.plugged;
      disks = std::to_string(plugged);
    }
    if (r.cameras) cameras = std::to_string(r.cameras->size());
    if (r.zone) zone = Clean(r.zone->name);
    text += pad(r.mac, 19) + pad(address, 20) + pad(r.isNew ? "yes" : "no", 5) + pad(disks, 7) + pad(cameras, 9) +
            FitText(zone, 40) + "\n";
    if (r.disks)
      for (const SurveyedDisk& d : *r.disks)
        if (d.plugged)
          text += "    HD" + std::to_string(d.bay) + " " + Quoted(d.model) + " " + std::to_string(d.sizeMb) + " MB" +
                  (d.formatted ? ", formatted" : ", not formatted") + "\n";
    if (r.cameras)
      for (const SurveyedCamera& c : *r.cameras)
        text += "    camera " + Clean(c.address) + " id " + Quoted(c.id) + " " + Quoted(c.model) +
                (c.assigned ? ", recorded" : "") + "\n";
    if (r.cloud)
      text += std::string("    cloud: ") +
              (r.cloud->registered ? "registered to " + Quoted(r.cloud->email)
                                   : r.cloud->offered ? "offered, not registered" : "not offered") +
              "\n";
    if (!r.note.empty()) text += "    " + r.note + "\n";
    if (withZones && r.zones) {
      text += "    zones the recorder accepts (time_zone = \"...\"):\n";
      for (std::size_t i = 0; i < r.zones->size(); ++i)
        text += "      " + std::to_string(i + 1) + "  " + Clean((*r.zones)[i]) + "\n";
    }
  }
  return text;
}

std::string SurveySkeleton(const std::vector<SurveyedRecorder>& recorders) {
  std::string text =
      "# Written by vrx-provision survey " + UtcTimestamp() +
      ": one [[recorder]] per VRX-410Q that answered.\n"
      "# Set the secrets (the *_env names below, in the environment or in a --secrets file), look at each\n"
      "# recorder's disks and cameras (comments below), then: vrx-provision check THIS-FILE\n"
      "version = 1\n\n[defaults]\nshortcut = false\n\n[defaults.cloud]\nmode = \"skip\"\n";
  for (const SurveyedRecorder& r : recorders) {
    text += "\n[[recorder]]\nmac = \"" + r.mac + "\"\n";
    text += "# at " + Clean(r.address) + (r.isNew ? ", new (no password yet)" : ", already set up") + "\n";
    text += std::string("admin_password_env = \"") + kSkeletonAdminEnv + "\"\n";
    if (!r.isNew)
      text += "# It has a password already: to set it up again, add if_set_up = \"reconfigure\" and\n"
              "# current_admin_password_env = \"...\".\n";
    if (r.zone) {
      text += "time_zone = " + Quoted(r.zone->name) + "  # its zone now\n";
    } else {
      text += "# Its zone could not be read without its password: name one of its zones\n"
              "# (vrx-provision survey --zones on a new recorder lists them).\n"
              "time_zone = \"set this: a zone name the recorder lists\"\n";
    }
    if (r.disks)
      for (const SurveyedDisk& d : *r.disks)
        if (d.plugged)
          text += "# [[recorder.disk]]  # HD" + std::to_string(d.bay) + (d.formatted ? ", formatted" : ", not formatted") +
                  "\n# bay = " + std::to_string(d.bay) + "\n# model = " + Quoted(d.model) +
                  "\n# size_mb = " + std::to_string(d.sizeMb) + "\n# format = true\n";
    if (r.cameras)
      for (const SurveyedCamera& c : *r.cameras)
        text += "# [[recorder.camera]]  # " + Quoted(c.model) + (c.assigned ? ", recorded" : "") +
                "\n# address = " + Quoted(c.address) + "\n# password_env = \"CAMERA_PW\"\n";
  }
  return text;
}

}  // namespace vrx::provision
