#include "ControlApi.h"

#include "Codec.h"
#include "SimApp.h"

#include <nlohmann/json.hpp>

namespace sim {
namespace {
using nlohmann::json;
using Params = std::map<std::string, std::string>;

void reply(httplib::Response &res, const json &body, int status = 200) {
  res.status = status;
  res.set_content(body.dump(1, ' ', false, json::error_handler_t::replace), "application/json");
}

void fail(httplib::Response &res, const std::string &error) { reply(res, {{"ok", false}, {"error", error}}, 400); }

bool flag(const Params &p, const std::string &key, bool &out) {
  auto it = p.find(key);
  if (it == p.end()) return false;
  out = it->second == "1" || it->second == "true";
  return true;
}

bool number(const Params &p, const std::string &key, int &out) {
  auto it = p.find(key);
  if (it == p.end()) return false;
  try {
    out = std::stoi(it->second);
    return true;
  } catch (const std::exception &) {
    return false;
  }
}
}  // namespace

void ControlApi::install(httplib::Server &server) {
  auto both = [&server](const std::string &path, auto handler) {
    auto wrapped = [handler](const httplib::Request &req, httplib::Response &res) {
      handler(splitQuery(queryOf(req.target), true), res);
    };
    server.Get(path, wrapped);
    server.Post(path, wrapped);
  };

  both("/state", [this](const Params &, httplib::Response &res) {
    json cams = json::array();
    for (const auto &c : app_.cameras())
      cams.push_back({{"address", c->spec().id.address}, {"name", c->spec().id.name}, {"password", c->password()},
                      {"online", !c->faults()->offline}, {"frames", c->framesServed()}});
    PeerFaults &f = app_.recorderFaults();
    json kelvaro = app_.kelvaro().toJson();
    kelvaro["down"] = app_.cloudDown();
    reply(res, {{"recorder", app_.recorder().toJson()},
                {"recorder_faults",
                 {{"discovery_silent", f.discoverySilent.load()}, {"discovery_delay_ms", f.discoveryDelayMs.load()},
                  {"discovery_copies", f.discoveryCopies.load()}, {"datagram_silent", f.datagramSilent.load()},
                  {"datagram_delay_ms", f.datagramDelayMs.load()}, {"http_delay_ms", f.httpDelayMs.load()}}},
                {"cameras", cams},
                {"kelvaro", kelvaro}});
  });

  both("/log", [this](const Params &p, httplib::Response &res) {
    int from = 0;
    number(p, "from", from);
    reply(res, app_.log().toJson(size_t(std::max(0, from))));
  });

  both("/log/clear", [this](const Params &, httplib::Response &res) {
    app_.log().clear();
    reply(res, {{"ok", true}});
  });

  both("/disk", [this](const Params &p, httplib::Response &res) {
    int bay = -1;
    bool plugged = false, ready = false;
    if (!number(p, "bay", bay) || bay < 0 || bay > 1) return fail(res, "bay must be 0 or 1");
    if (!flag(p, "plugged", plugged)) return fail(res, "plugged=0|1 missing");
    if (!flag(p, "ready", ready)) ready = plugged;
    app_.recorder().setDisk(bay, plugged, ready);
    reply(res, {{"ok", true}});
  });

  both("/camera", [this](const Params &p, httplib::Response &res) {
    auto it = p.find("address");
    CameraDevice *cam = it == p.end() ? nullptr : app_.camera(it->second);
    if (!cam) return fail(res, "no camera at that address");
    bool online = true;
    std::string error;
    if (flag(p, "online", online) && !cam->setOnline(online, error)) return fail(res, error);
    if (auto pw = p.find("password"); pw != p.end() && !cam->changePassword("admin", cam->password(), pw->second))
      return fail(res, "password refused");
    bool hangs = false;
    if (flag(p, "add_hangs", hangs) && !app_.recorder().setAddHangs(it->second, hangs))
      return fail(res, "the recorder does not list that camera");
    if (auto to = p.find("move_to"); to != p.end()) {
      if (!cam->moveTo(to->second, error)) return fail(res, error);
      app_.recorder().moveCamera(it->second, to->second);
    }
    reply(res, {{"ok", true}});
  });

  both("/cloud", [this](const Params &p, httplib::Response &res) {
    bool down = false;
    std::string error;
    if (!flag(p, "down", down)) return fail(res, "down=0|1 missing");
    if (!app_.setCloudDown(down, error)) return fail(res, error);
    reply(res, {{"ok", true}});
  });

  both("/recorder", [this](const Params &p, httplib::Response &res) {
    PeerFaults &f = app_.recorderFaults();
    bool b = false;
    int n = 0;
    if (auto it = p.find("admin_password"); it != p.end()) app_.recorder().setAdminPassword(it->second);
    if (flag(p, "discovery_silent", b)) f.discoverySilent = b;
    if (number(p, "discovery_delay_ms", n)) f.discoveryDelayMs = n;
    if (number(p, "discovery_copies", n)) f.discoveryCopies = n;
    if (flag(p, "datagram_silent", b)) f.datagramSilent = b;
    if (number(p, "datagram_delay_ms", n)) f.datagramDelayMs = n;
    if (number(p, "http_delay_ms", n)) f.httpDelayMs = n;
    if (flag(p, "reginfo_fails", b)) app_.recorder().setRegInfoStatus(b ? 500 : 0);
    if (number(p, "reginfo_status", n)) app_.recorder().setRegInfoStatus(n);
    if (number(p, "portal_status", n)) app_.recorder().setPortalStatus(n);
    reply(res, {{"ok", true}});
  });
}

}  // namespace sim
