#include "KelvaroService.h"

#include "Codec.h"
#include "HttpEndpoint.h"

namespace sim {
namespace {
std::string field(const std::map<std::string, std::string> &f, const std::string &key) {
  auto it = f.find(key);
  return it == f.end() ? std::string() : it->second;
}

// A plain sanity check; the wizard checks addresses more thoroughly before it sends them.
bool plausibleEmail(const std::string &email) {
  size_t at = email.find('@');
  return at != std::string::npos && at > 0 && email.find('.', at) != std::string::npos &&
         email.find(' ') == std::string::npos && email.back() != '.';
}

std::string cookieValue(const std::string &header, const std::string &name) {
  for (std::string part : splitString(header, ';')) {
    size_t b = part.find_first_not_of(' ');
    if (b == std::string::npos) continue;
    part = part.substr(b);
    if (part.compare(0, name.size() + 1, name + "=") == 0) return part.substr(name.size() + 1);
  }
  return {};
}

// The body ends with CR LF CR LF; form values use '+' for blanks, so a literal plus arrives as %2B.
std::map<std::string, std::string> parseForm(std::string body) {
  while (!body.empty() && (body.back() == '\r' || body.back() == '\n')) body.pop_back();
  return splitQuery(body, true);
}
}  // namespace

KelvaroService::KelvaroService(const KelvaroSpec &spec, std::vector<Device> devices)
    : devices_(std::move(devices)), bindOmitsDevice_(spec.bindOmitsDevice) {
  for (const KelvaroAccount &a : spec.accounts) accounts_[a.email] = a;
  for (const Device &d : devices_) {
    CloudStatus c = d.state->cloud();
    if (c.registered && !c.email.empty()) bindings_[c.portalNumber] = c.email;
  }
}

const KelvaroService::Device *KelvaroService::deviceNumbered(const std::string &portalNumber) const {
  for (const Device &d : devices_)
    if (d.state->cloud().portalNumber == portalNumber) return &d;
  return nullptr;
}

void KelvaroService::install(httplib::Server &server) {
  server.Post("/signin", [this](const httplib::Request &req, httplib::Response &res) {
    std::string body = signUp(parseForm(req.body), res);
    HttpEndpoint::note(body.substr(0, body.find(':')));
    res.set_content(body, "text/plain; charset=utf-8");
  });
  server.Post("/account/", [this](const httplib::Request &req, httplib::Response &res) {
    std::string query(queryOf(req.target));
    std::string body;
    if (query == "signin") body = signIn(parseForm(req.body), res);
    else if (query == "add") body = bind(parseForm(req.body), cookieValue(req.get_header_value("Cookie"), "kelvaro"));
    else {
      res.status = 404;
      body = "unknown request";
    }
    HttpEndpoint::note(body.substr(0, body.find(':')));
    res.set_content(body, "text/plain; charset=utf-8");
  });
}

std::string KelvaroService::newSession(const std::string &email, httplib::Response &res) {
  std::string token = randomHex(16);
  sessions_[token] = email;
  res.set_header("Set-Cookie", "kelvaro=" + token + "; path=/; secure; HttpOnly");
  return token;
}

std::string KelvaroService::signUp(const Form &f, httplib::Response &res) {
  std::string email = field(f, "email"), password = field(f, "password");
  std::lock_guard lock(mutex_);
  ++requests_;
  if (!plausibleEmail(email)) return "SIGNUPERR006: the e-mail address is not valid";
  if (accounts_.count(email)) return "SIGNUPERR001: this e-mail address already has an account";
  if (password.size() < 6) return "SIGNUPERR002: the password needs at least 6 characters";
  if (password != field(f, "password_verify")) return "SIGNUPERR003: the passwords do not match";
  if (password.size() > 32) return "SIGNUPERR004: the password may have at most 32 characters";
  if (field(f, "accept") != "accept" || field(f, "name_first").empty() || field(f, "name_last").empty())
    return "SIGNUPERR005: please accept the terms and give your first and last name";
  accounts_[email] = {email, password, field(f, "name_first"), field(f, "name_last")};
  newSession(email, res);
  return "success: account created for " + email;
}

std::string KelvaroService::signIn(const Form &f, httplib::Response &res) {
  std::string email = field(f, "email"), password = field(f, "password");
  std::lock_guard lock(mutex_);
  ++requests_;
  if (email.empty() || password.empty()) return "SIGNINERR001: e-mail address and password are required";
  auto it = accounts_.find(email);
  if (it == accounts_.end()) return "SIGNINERR002: there is no account for this e-mail address";
  if (it->second.password != password) return "SIGNINERR003: the password is not correct";
  newSession(email, res);
  return "success: signed in as " + email;
}

std::string KelvaroService::bind(const Form &f, const std::string &cookie) {
  const std::string number = field(f, "nuvel_no");
  const Device *device = deviceNumbered(number);
  if (device) HttpEndpoint::attribute(device->mac);
  std::lock_guard lock(mutex_);
  ++requests_;
  auto session = sessions_.find(cookie);
  if (cookie.empty() || session == sessions_.end()) return "BINDERR001: please sign in first";
  if (!device) return "BINDERR002: unknown device number " + number;
  if (field(f, "dfp") != device->state->cloud().dfp) return "BINDERR003: the device fingerprint does not match";
  if (field(f, "device_password") != device->state->adminPassword())
    return "BINDERR004: the device password is not correct";
  auto bound = bindings_.find(number);
  if (bound != bindings_.end() && bound->second != session->second)
    return "BINDERR005: this device belongs to another account";
  bindings_[number] = session->second;
  if (bindOmitsDevice_) return "success: device added to " + session->second;
  return "success: device " + number + " (" + device->model + ") added to " + session->second;
}

nlohmann::json KelvaroService::toJson() const {
  std::lock_guard lock(mutex_);
  nlohmann::json accounts = nlohmann::json::array(), bindings = nlohmann::json::object();
  for (const auto &[email, a] : accounts_)
    accounts.push_back({{"email", email}, {"password", a.password}, {"first_name", a.firstName}, {"last_name", a.lastName}});
  for (const auto &[number, email] : bindings_) bindings[number] = email;
  return {{"accounts", accounts}, {"bindings", bindings}, {"sessions", sessions_.size()}, {"requests", requests_}};
}

}  // namespace sim
