#include "Scenario.h"

#include <arpa/inet.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace sim {
namespace {
using nlohmann::json;

// A site as large as a test or a benchmark needs; each recorder costs a few sockets and threads.
constexpr size_t kMaxSiteRecorders = 64;

[[noreturn]] void fail(const std::string &what) { throw std::runtime_error("scenario: " + what); }

std::string loopbackAddress(const json &j, const char *key, const std::string &fallback) {
  std::string a = j.value(key, fallback);
  in_addr addr{};
  if (inet_pton(AF_INET, a.c_str(), &addr) != 1 || (ntohl(addr.s_addr) >> 24) != 127)
    fail(std::string(key) + " \"" + a + "\" is not a 127.x address");
  return a;
}

MacAddress parseMac(const std::string &text) {
  MacAddress mac{};
  unsigned v[6];
  if (std::sscanf(text.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) != 6)
    fail("bad MAC \"" + text + "\"");
  for (int i = 0; i < 6; ++i) mac[i] = uint8_t(v[i]);
  return mac;
}

AuthScheme parseAuth(const json &j, AuthScheme fallback) {
  if (!j.contains("auth")) return fallback;
  std::string a = j["auth"].get<std::string>();
  if (a == "basic") return AuthScheme::Basic;
  if (a == "digest") return AuthScheme::Digest;
  fail("auth must be \"basic\" or \"digest\", not \"" + a + "\"");
}

DeviceIdentity parseIdentity(const json &j, const std::string &defaultModel) {
  DeviceIdentity id;
  id.model = j.value("model", defaultModel);
  id.name = j.value("name", id.model);
  id.address = loopbackAddress(j, "address", "");
  id.mac = parseMac(j.value("mac", std::string("00:00:00:00:00:00")));
  id.httpPort = j.value("http_port", 80);
  if (id.httpPort <= 0 || id.httpPort > 65535) fail("http_port out of range");
  return id;
}

DiskSpec parseDisk(const json &j) {
  DiskSpec d;
  d.plugged = j.value("plugged", false);
  d.ready = j.value("ready", d.plugged);
  d.fsCode = j.value("fs", 0);
  d.model = j.value("model", d.model);
  d.sizeMb = j.value("size_mb", d.sizeMb);
  d.formatFails = j.value("format_fails", false);
  return d;
}

RecorderSpec parseRecorder(const json &j) {
  RecorderSpec r;
  r.id = parseIdentity(j, "VRX-410Q");
  r.auth = parseAuth(j, AuthScheme::Basic);
  r.adminPassword = j.value("admin_password", "");
  r.zone = j.value("zone", 1);
  if (r.zone < 1) fail("zone must be 1 or more");
  r.refusedZones = j.value("refused_zones", std::vector<int>{});
  if (j.contains("disks")) {
    const json &disks = j["disks"];
    for (size_t i = 0; i < disks.size() && i < 2; ++i) r.disks[i] = parseDisk(disks[i]);
  }
  r.formatSeconds = j.value("format_seconds", 4);
  r.regInfoStatus = j.value("reginfo_fails", false) ? 500 : j.value("reginfo_status", 0);
  r.portalStatus = j.value("portal_status", 0);
  r.listedLines = j.value("listed_lines", std::vector<std::string>{});
  for (const std::string &line : r.listedLines)
    if (line.find_first_of("\r\n") != std::string::npos) fail("listed_lines must not hold line breaks");
  for (int status : {r.regInfoStatus, r.portalStatus})
    if (status != 0 && (status < 200 || status > 599)) fail("reginfo_status and portal_status must be 200-599");
  r.listedCameras = j.value("listed_cameras", 0);
  if (r.listedCameras < 0 || r.listedCameras > 256) fail("listed_cameras must be 0-256");
  r.httpDelayMs = j.value("http_delay_ms", 0);
  if (j.contains("cloud")) {
    const json &c = j["cloud"];
    r.cloud.access = c.value("access", r.cloud.access);
    r.cloud.registered = c.value("registered", false);
    r.cloud.portalNumber = c.value("portal_number", r.cloud.portalNumber);
    r.cloud.dfp = c.value("dfp", r.cloud.dfp);
    r.cloud.email = c.value("email", "");
    r.cloud.password = c.value("password", "");
  }
  if (j.contains("discovery")) {
    const json &d = j["discovery"];
    r.discovery.silent = d.value("silent", false);
    r.discovery.delayMs = d.value("delay_ms", 0);
    r.discovery.copies = std::max(1, d.value("copies", 1));
  }
  if (j.contains("datagram")) {
    const json &d = j["datagram"];
    r.datagram.silent = d.value("silent", false);
    r.datagram.delayMs = d.value("delay_ms", 0);
  }
  return r;
}

PictureSpec parsePicture(const json &j) {
  PictureSpec p;
  p.width = j.value("width", p.width);
  p.height = j.value("height", p.height);
  if (p.width < 16 || p.height < 16 || p.width > 8192 || p.height > 8192) fail("picture size outside 16..8192");
  p.exifThumbnail = j.value("exif_thumbnail", false);
  p.jpegsPerAnswer = j.value("jpegs_per_answer", 1);
  if (p.jpegsPerAnswer < 1 || p.jpegsPerAnswer > 2) fail("jpegs_per_answer must be 1 or 2");
  p.minBytes = j.value("min_bytes", 0);
  p.hangAfterBytes = j.value("hang_after_bytes", -1);
  return p;
}

CameraSpec parseCamera(const json &j) {
  CameraSpec c;
  c.id = parseIdentity(j, "HVC-2230");
  c.brand = j.value("brand", c.brand);
  c.auth = parseAuth(j, AuthScheme::Digest);
  c.password = j.value("password", "");
  c.protocolType = j.value("protocol_type", 1);
  c.answersDiscovery = j.value("answers_discovery", c.protocolType == 0);
  c.offline = j.value("offline", false);
  c.assigned = j.value("assigned", false);
  c.recorderAccount = j.value("recorder_account", "");
  c.recorderPassword = j.value("recorder_password", "");
  if (j.contains("picture")) c.picture = parsePicture(j["picture"]);
  c.addHangs = j.value("add_hangs", false);
  return c;
}

// A site's recorders each need their own cloud identity: one not given is made from the MAC, so that the
// service tells them apart (the first recorder keeps the scenario file's defaults).
void giveOwnCloudIdentity(RecorderSpec &r, const json &j) {
  const json cloud = j.value("cloud", json::object());
  char text[24];
  if (!cloud.contains("portal_number")) {
    std::snprintf(text, sizeof text, "K%.2X%.2X%.2X%X", r.id.mac[3], r.id.mac[4], r.id.mac[5], r.id.mac[2] & 15);
    r.cloud.portalNumber = text;
  }
  if (!cloud.contains("dfp")) {
    std::snprintf(text, sizeof text, "%.2x%.2x%.2x%.2x%.2x%.2x5f1c", r.id.mac[0], r.id.mac[1], r.id.mac[2],
                  r.id.mac[3], r.id.mac[4], r.id.mac[5]);
    r.cloud.dfp = text;
  }
}

// Every device of a site answers at its own address, and the service binds each recorder by its own number.
void checkSiteIsDistinct(const Scenario &s) {
  std::set<std::string> addresses, macs, portalNumbers;
  auto claim = [](std::set<std::string> &seen, const std::string &value, const std::string &what) {
    if (!seen.insert(value).second) fail("two devices share the " + what + " " + value);
  };
  for (const RecorderSpec &r : s.recorders) {
    claim(addresses, r.id.address, "address");
    claim(macs, macText(r.id.mac), "MAC");
    claim(portalNumbers, r.cloud.portalNumber, "portal number");
    for (const CameraSpec &c : r.cameras) claim(addresses, c.id.address, "address");
  }
}

Scenario parse(const json &j) {
  Scenario s;
  s.name = j.value("name", "unnamed");
  if (j.contains("recorders")) {
    // A site: every recorder lists its own cameras.
    if (j.contains("recorder") || j.contains("cameras"))
      fail("a site gives \"recorders\" with their own \"cameras\", not \"recorder\" or top-level \"cameras\"");
    const json &list = j["recorders"];
    if (!list.is_array() || list.empty() || list.size() > kMaxSiteRecorders)
      fail("recorders must be a list of 1 to " + std::to_string(kMaxSiteRecorders));
    for (const json &r : list) {
      RecorderSpec spec = parseRecorder(r);
      for (const json &c : r.value("cameras", json::array())) spec.cameras.push_back(parseCamera(c));
      if (!s.recorders.empty()) giveOwnCloudIdentity(spec, r);
      s.recorders.push_back(std::move(spec));
    }
  } else {
    if (!j.contains("recorder")) fail("no recorder");
    RecorderSpec spec = parseRecorder(j["recorder"]);
    for (const json &c : j.value("cameras", json::array())) spec.cameras.push_back(parseCamera(c));
    s.recorders.push_back(std::move(spec));
  }
  checkSiteIsDistinct(s);
  for (const json &d : j.value("other_devices", json::array())) s.otherDevices.push_back(parseIdentity(d, "VRX-208"));
  if (j.contains("kelvaro")) {
    const json &k = j["kelvaro"];
    s.kelvaro.address = loopbackAddress(k, "address", s.kelvaro.address);
    s.kelvaro.port = k.value("port", 443);
    s.kelvaro.down = k.value("down", false);
    s.kelvaro.bindOmitsDevice = k.value("bind_omits_device", false);
    for (const json &a : k.value("accounts", json::array()))
      s.kelvaro.accounts.push_back({a.value("email", ""), a.value("password", ""), a.value("first_name", ""),
                                    a.value("last_name", "")});
  }
  return s;
}
}  // namespace

Scenario ScenarioLoader::fromText(const std::string &text) {
  json j;
  try {
    j = json::parse(text);
    return parse(j);
  } catch (const nlohmann::json::exception &e) {
    fail(e.what());
  }
}

Scenario ScenarioLoader::fromFile(const std::string &path) {
  std::ifstream in(path);
  if (!in) fail("cannot read " + path);
  std::stringstream buf;
  buf << in.rdbuf();
  return fromText(buf.str());
}

std::string macText(const MacAddress &mac) {
  char buf[18];
  std::snprintf(buf, sizeof buf, "%.2x:%.2x:%.2x:%.2x:%.2x:%.2x", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
  return buf;
}

}  // namespace sim
