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

// The recorder a call is about: `recorder=` (its MAC or address), or the first recorder of the site.
SimRecorder *chosenRecorder(SimApp &app, const Params &p) {
  auto it = p.find("recorder");
  return it == p.end() ? &app.firstRecorder() : app.findRecorder(it->second);
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
    for (const CameraDevice *c : app_.cameras())
      cams.push_back({{"address", c->spec().id.address}, {"name", c->spec().id.name}, {"password", c->password()},
                      {"online", !c->faults()->offline}, {"frames", c->framesServed()}});
    json kelvaro = app_.kelvaro().toJson();
    kelvaro["down"] = app_.cloudDown();
    json recorders = json::array();
    for (const auto &r : app_.recorders()) recorders.push_back(r->toJson());
    // "recorder" and "recorder_faults" are the first recorder's, as for a scenario of one.
    json first = recorders.front();
    json faults = first["faults"];
    for (const char *who : {"address", "mac", "name", "model", "http_port", "faults"}) first.erase(who);
    reply(res, {{"recorder", first},
                {"recorder_faults", faults},
                {"recorders", recorders},
                {"cameras", cams},
                {"kelvaro", kelvaro}});
  });

  both("/log", [this](const Params &p, httplib::Response &res) {
    int from = 0;
    number(p, "from", from);
    std::string mac;
    if (p.count("recorder")) {
      SimRecorder *r = chosenRecorder(app_, p);
      if (!r) return fail(res, "no recorder with that MAC or address");
      mac = r->mac();
    }
    bool writesOnly = false;
    flag(p, "writes", writesOnly);
    reply(res, app_.log().toJson(size_t(std::max(0, from)), mac, writesOnly));
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
    SimRecorder *r = chosenRecorder(app_, p);
    if (!r) return fail(res, "no recorder with that MAC or address");
    r->state().setDisk(bay, plugged, ready);
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
    RecorderState &owner = app_.recorderOfCamera(it->second)->state();
    if (flag(p, "add_hangs", hangs) && !owner.setAddHangs(it->second, hangs))
      return fail(res, "the recorder does not list that camera");
    if (auto to = p.find("move_to"); to != p.end()) {
      if (!cam->moveTo(to->second, error)) return fail(res, error);
      owner.moveCamera(it->second, to->second);
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
    SimRecorder *r = chosenRecorder(app_, p);
    if (!r) return fail(res, "no recorder with that MAC or address");
    PeerFaults &f = r->faults();
    RecorderState &state = r->state();
    bool b = false;
    int n = 0;
    if (auto it = p.find("admin_password"); it != p.end()) state.setAdminPassword(it->second);
    if (flag(p, "discovery_silent", b)) f.discoverySilent = b;
    if (number(p, "discovery_delay_ms", n)) f.discoveryDelayMs = n;
    if (number(p, "discovery_copies", n)) f.discoveryCopies = n;
    if (flag(p, "datagram_silent", b)) f.datagramSilent = b;
    if (number(p, "datagram_delay_ms", n)) f.datagramDelayMs = n;
    if (number(p, "http_delay_ms", n)) f.httpDelayMs = n;
    if (flag(p, "reginfo_fails", b)) state.setRegInfoStatus(b ? 500 : 0);
    if (number(p, "reginfo_status", n)) state.setRegInfoStatus(n);
    if (number(p, "portal_status", n)) state.setPortalStatus(n);
    reply(res, {{"ok", true}});
  });
}

}  // namespace sim
