// The kelvaro account service that every recorder of a site shares: sign-up ("/signin"), sign-in
// ("/account/?signin") and binding a recorder to the signed-in account ("/account/?add", with the "kelvaro"
// login cookie). Replies are short texts holding "success" or an error word:
//   SIGNUPERR001 e-mail already has an account   SIGNUPERR002 password shorter than 6 characters
//   SIGNUPERR003 password and confirmation differ SIGNUPERR004 password longer than 32 characters
//   SIGNUPERR005 terms not accepted or a name missing  SIGNUPERR006 e-mail address not valid
//   SIGNINERR001 e-mail or password missing  SIGNINERR002 no such account  SIGNINERR003 wrong password
//   BINDERR001 not signed in  BINDERR002 unknown device number  BINDERR003 wrong dfp
//   BINDERR004 wrong device password  BINDERR005 device bound to another account
#pragma once
#include "RecorderState.h"
#include "Scenario.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <map>
#include <mutex>
#include <vector>

namespace sim {

class KelvaroService {
 public:
  // A recorder the service can bind: found by the portal number it reports.
  struct Device {
    RecorderState *state;
    std::string model;
    std::string mac;  // for the request log: a bind is a request about this recorder
  };
  KelvaroService(const KelvaroSpec &spec, std::vector<Device> devices);
  void install(httplib::Server &server);
  nlohmann::json toJson() const;

 private:
  using Form = std::map<std::string, std::string>;
  std::string signUp(const Form &f, httplib::Response &res);
  std::string signIn(const Form &f, httplib::Response &res);
  std::string bind(const Form &f, const std::string &cookie);
  std::string newSession(const std::string &email, httplib::Response &res);
  const Device *deviceNumbered(const std::string &portalNumber) const;

  std::vector<Device> devices_;
  bool bindOmitsDevice_ = false;
  mutable std::mutex mutex_;
  std::map<std::string, KelvaroAccount> accounts_;   // by e-mail
  std::map<std::string, std::string> sessions_;      // cookie value -> e-mail
  std::map<std::string, std::string> bindings_;      // portal number -> e-mail
  int requests_ = 0;
};

}  // namespace sim
