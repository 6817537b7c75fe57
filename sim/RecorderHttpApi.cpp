#include "RecorderHttpApi.h"

#include "Codec.h"
#include "HttpEndpoint.h"
#include "ZoneTables.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace sim {
namespace {
constexpr const char *kText = "text/plain; charset=utf-8";
// A hung add answers this late, long after any client has given up.
constexpr int kHungAddSeconds = 40;

// A number parameter; nullopt when missing or not a whole number.
std::optional<int> intParam(const std::map<std::string, std::string> &p, const std::string &key) {
  auto it = p.find(key);
  if (it == p.end() || it->second.empty() || it->second.size() > 9) return std::nullopt;
  size_t used = 0;
  try {
    int v = std::stoi(it->second, &used);
    if (used == it->second.size()) return v;
  } catch (const std::exception &) {
  }
  return std::nullopt;
}

std::string param(const std::map<std::string, std::string> &p, const std::string &key) {
  auto it = p.find(key);
  return it == p.end() ? std::string() : it->second;
}

void badRequest(httplib::Response &res, const std::string &why) {
  res.status = 400;
  res.set_content("400 Bad Request", kText);
  HttpEndpoint::note(why);
}

std::string lines(std::initializer_list<std::pair<std::string, std::string>> kv) {
  std::string out;
  for (const auto &[k, v] : kv) out += k + "=" + v + "\r\n";
  return out;
}
}  // namespace

RecorderHttpApi::RecorderHttpApi(RecorderState &state, HttpAuth &auth, const RecorderSpec &r,
                                 const std::string &portalHost)
    : state_(state), auth_(auth), model_(r.id.model), portalHost_(portalHost) {
  localLink_ = "http://" + r.id.address;
  if (r.id.httpPort != 80) localLink_ += ":" + std::to_string(r.id.httpPort);
  localLink_ += "/";
}

void RecorderHttpApi::route(httplib::Server &server, const std::string &path, Handler handler) {
  server.Get(path, [this, handler](const httplib::Request &req, httplib::Response &res) {
    std::string why;
    if (!auth_.check(req, res, why)) {
      HttpEndpoint::note(why);
      return;
    }
    // Decoded as any standard server does ('+' is a blank): a client must percent-encode what it sends.
    (this->*handler)(splitQuery(queryOf(req.target), true), res);
  });
}

void RecorderHttpApi::install(httplib::Server &server) {
  route(server, "/config/timezonelist", &RecorderHttpApi::timeZoneList);
  route(server, "/config/datetime", &RecorderHttpApi::dateTime);
  route(server, "/config/manrecord", &RecorderHttpApi::manualRecord);
  route(server, "/config/storageinfo", &RecorderHttpApi::storageInfo);
  route(server, "/config/storageformat", &RecorderHttpApi::storageFormat);
  route(server, "/config/storageformatpoll", &RecorderHttpApi::storageFormatPoll);
  route(server, "/config/supportservices", &RecorderHttpApi::supportServices);
  route(server, "/config/kelvarodiscovery", &RecorderHttpApi::cameraDiscovery);
  route(server, "/config/addavdev", &RecorderHttpApi::addCamera);
  route(server, "/config/delavdev", &RecorderHttpApi::deleteCamera);
  route(server, "/config/kelvaroportal", &RecorderHttpApi::portal);
  route(server, "/config/kelvaroregstatus", &RecorderHttpApi::regStatus);
  route(server, "/config/kelvaroreginfo", &RecorderHttpApi::regInfo);
  // The page a desktop shortcut to the recorder opens.
  server.Get("/", [this](const httplib::Request &req, httplib::Response &res) {
    std::string why;
    if (!auth_.check(req, res, why)) {
      HttpEndpoint::note(why);
      return;
    }
    res.set_content("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + model_ +
                        "</title></head><body style=\"font-family:sans-serif\"><h1>" + model_ +
                        "</h1><p>Simulated recorder: live view and playback are not part of the simulation.</p>"
                        "</body></html>",
                    "text/html; charset=utf-8");
  });
}

void RecorderHttpApi::timeZoneList(const Params &p, httplib::Response &res) {
  int language = intParam(p, "language").value_or(4);
  std::string body = "timezonelist=";  // the fixed 13-character prefix
  const auto &names = zoneNames(language);
  for (size_t i = 0; i < names.size(); ++i) body += (i ? ";" : "") + names[i];
  res.set_content(body, kText);
}

void RecorderHttpApi::dateTime(const Params &p, httplib::Response &res) {
  if (p.count("timezone")) {
    auto zone = intParam(p, "timezone");
    if (!zone || state_.zoneRefused(*zone)) return badRequest(res, "zone refused");
    state_.setZone(*zone);
    res.set_content(lines({{"timezone", std::to_string(*zone)}}), kText);
    return;
  }
  std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char date[16], time[16];
  std::strftime(date, sizeof date, "%Y-%m-%d", &utc);
  std::strftime(time, sizeof time, "%H:%M:%S", &utc);
  res.set_content(lines({{"date", date}, {"time", time}, {"timezone", std::to_string(state_.zone())}, {"dst", "0"}}),
                  kText);
}

void RecorderHttpApi::manualRecord(const Params &p, httplib::Response &res) {
  int on = intParam(p, "record").value_or(0);
  state_.setRecording(on == 1);
  res.set_content(lines({{"record", std::to_string(on == 1)}}), kText);
}

void RecorderHttpApi::storageInfo(const Params &p, httplib::Response &res) {
  auto id = intParam(p, "storageid");
  if (!id || *id < 0 || *id > 1) return badRequest(res, "no such storage");
  DiskStatus d = state_.disk(*id);
  std::string dev = *id == 0 ? "sda" : "sdb";
  std::string body = lines({{"storageid", std::to_string(*id)},
                            {"plug", d.plugged ? "1" : "0"},
                            {"ready", d.ready ? "1" : "0"},
                            {"type", "usb"},
                            {"devicename", d.plugged ? "/dev/" + dev : ""},
                            {"modelname", d.plugged ? d.model : ""},
                            {"totalsize", d.plugged ? std::to_string(d.sizeMb) : "0"},
                            {"usedpartition", std::to_string(d.usedPartition)}});
  if (d.plugged && d.usedPartition > 0) {
    int used = d.formatted ? 0 : d.sizeMb / 80;
    // id, device, total MB, used MB, free MB, file-system code
    body += "partitioninfo" + std::to_string(d.usedPartition) + "=" + std::to_string(d.usedPartition) + ",/dev/" +
            dev + std::to_string(d.usedPartition) + "," + std::to_string(d.sizeMb) + "," + std::to_string(used) +
            "," + std::to_string(d.sizeMb - used) + "," + std::to_string(d.fsCode) + "\r\n";
  }
  res.set_content(body, kText);
}

void RecorderHttpApi::storageFormat(const Params &p, httplib::Response &res) {
  auto id = intParam(p, "storageid");
  int partition = intParam(p, "partition").value_or(0);
  int fs = intParam(p, "fs").value_or(2);
  if (!id || fs < 1 || fs > 5) return badRequest(res, "bad format parameters");
  if (!state_.startFormat(*id, partition, fs)) return badRequest(res, "no disk in that bay");
  res.set_content(lines({{"storageid", std::to_string(*id)}, {"result", "ok"}}), kText);
}

void RecorderHttpApi::storageFormatPoll(const Params &, httplib::Response &res) {
  res.set_content(lines({{"status", std::to_string(state_.formatProgress())}}), kText);
}

void RecorderHttpApi::supportServices(const Params &, httplib::Response &res) {
  res.set_content(lines({{"kelvaro", "1"}, {"kelvarodiscovery", "1"}, {"manrecord", "1"}}), kText);
}

void RecorderHttpApi::cameraDiscovery(const Params &, httplib::Response &res) {
  std::string body;
  for (const RecorderCamera &c : state_.cameras()) {
    if (!body.empty()) body += "\r\n";
    body += std::string(c.assigned ? "1" : "0") + ";" + c.address + ";" + c.cameraId + ";" + c.brand + ";" + c.model +
            ";" + c.account + ";" + c.password + ";" + (c.channel >= 0 ? std::to_string(c.channel) : "") + ";" +
            std::to_string(c.protocolType);
  }
  for (const std::string &line : state_.listedLines()) body += (body.empty() ? "" : "\r\n") + line;
  res.set_content(body, kText);
}

void RecorderHttpApi::addCamera(const Params &p, httplib::Response &res) {
  auto channel = intParam(p, "avdevid");
  auto account = base64Decode(param(p, "account")), pass = base64Decode(param(p, "pass"));
  if (!channel || *channel < 0 || *channel > 3) return badRequest(res, "avdevid outside 0-3");
  if (!account || !pass) return badRequest(res, "account or pass not Base64");
  if (param(p, "hostname").empty()) return badRequest(res, "no hostname");
  if (state_.addHangs(param(p, "hostname"), param(p, "hostid"))) {
    // The recorder never answers this add; the client gives up first.
    std::this_thread::sleep_for(std::chrono::seconds(kHungAddSeconds));
    res.status = 503;
    HttpEndpoint::note("add hung");
    return;
  }
  RecorderCamera c;
  c.address = param(p, "hostname");
  c.cameraId = param(p, "hostid");
  c.brand = param(p, "brand");
  c.model = param(p, "product").empty() ? param(p, "avdevname") : param(p, "product");
  c.account = *account;
  c.password = *pass;
  c.protocolType = intParam(p, "protocoltype").value_or(1);
  state_.addCamera(*channel, c);
  res.set_content(lines({{"avdevid", std::to_string(*channel)}, {"result", "ok"}}), kText);
}

void RecorderHttpApi::deleteCamera(const Params &p, httplib::Response &res) {
  auto index = intParam(p, "avdevid");
  if (!index || !state_.removeCamera(*index)) return badRequest(res, "no camera at that avdevid");
  res.set_content(lines({{"avdevid", std::to_string(*index)}, {"result", "ok"}}), kText);
}

void RecorderHttpApi::portal(const Params &, httplib::Response &res) {
  if (const int status = state_.portalStatus(); status != 0) {
    res.status = status;
    res.set_content(std::to_string(status) + " answered by scenario", kText);
    HttpEndpoint::note("portal answered " + std::to_string(status));
    return;
  }
  CloudStatus c = state_.cloud();
  res.set_content(lines({{"status", c.registered ? "1" : "0"},
                         {"access", c.access},
                         {"portal_url", portalHost_},
                         {"portal_number", c.portalNumber},
                         {"portal_dfp", c.dfp},
                         {"model", model_},
                         {"localhyperlink", localLink_}}),
                  kText);
}

void RecorderHttpApi::regStatus(const Params &p, httplib::Response &res) {
  auto status = intParam(p, "status");
  if (status) state_.setRegistered(*status == 1);
  res.set_content(lines({{"status", state_.cloud().registered ? "1" : "0"}}), kText);
}

void RecorderHttpApi::regInfo(const Params &p, httplib::Response &res) {
  if (const int status = state_.regInfoStatus(); status != 0) {
    res.status = status;
    res.set_content(std::to_string(status) + " answered by scenario", kText);
    HttpEndpoint::note("registration info answered " + std::to_string(status));
    return;
  }
  if (p.count("email")) {
    auto status = intParam(p, "status").value_or(1);
    state_.setCloudAccount(param(p, "email"), param(p, "password"), status == 1);
  }
  CloudStatus c = state_.cloud();
  res.set_content(lines({{"status", c.registered ? "1" : "0"}, {"email", c.email}, {"password", c.password}}), kText);
}

}  // namespace sim
