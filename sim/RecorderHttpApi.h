// The recorder's configuration interface: "/config/..." requests answered with "\r\n"-separated key=value
// lines, behind the admin account. The same routes serve plain HTTP and HTTPS.
#pragma once
#include "HttpAuth.h"
#include "RecorderState.h"

#include <httplib.h>

namespace sim {

class RecorderHttpApi {
 public:
  // `portalHost`: the kelvaro service's address, which the recorder reports as its portal.
  RecorderHttpApi(RecorderState &state, HttpAuth &auth, const RecorderSpec &spec, const std::string &portalHost);
  void install(httplib::Server &server);

 private:
  using Params = std::map<std::string, std::string>;
  using Handler = void (RecorderHttpApi::*)(const Params &, httplib::Response &);
  void route(httplib::Server &server, const std::string &path, Handler handler);

  void timeZoneList(const Params &, httplib::Response &);
  void dateTime(const Params &, httplib::Response &);
  void manualRecord(const Params &, httplib::Response &);
  void storageInfo(const Params &, httplib::Response &);
  void storageFormat(const Params &, httplib::Response &);
  void storageFormatPoll(const Params &, httplib::Response &);
  void supportServices(const Params &, httplib::Response &);
  void cameraDiscovery(const Params &, httplib::Response &);
  void addCamera(const Params &, httplib::Response &);
  void deleteCamera(const Params &, httplib::Response &);
  void portal(const Params &, httplib::Response &);
  void regStatus(const Params &, httplib::Response &);
  void regInfo(const Params &, httplib::Response &);

  RecorderState &state_;
  HttpAuth &auth_;
  std::string model_, portalHost_, localLink_;
};

}  // namespace sim
