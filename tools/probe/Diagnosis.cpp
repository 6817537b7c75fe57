#include "Diagnosis.h"

#include <arpa/inet.h>

#include <algorithm>
#include <sstream>

#include "net/DiscoveryProtocol.h"
#include "net/PeerText.h"

namespace vrx::probe {
namespace {

std::uint32_t Ipv4(const std::string& text) {
  in_addr a{};
  return inet_pton(AF_INET, text.c_str(), &a) == 1 ? ntohl(a.s_addr) : 0;
}

bool IsRecorder(const HeardDevice& d) { return d.model == kRecorderModel; }

// What a device or the recorder sent, as it may be printed: well-formed UTF-8 without control or bidirectional
// override characters, so a peer can neither break the JSON nor send escape sequences to the terminal.
std::string Peer(const std::string& text) { return net::CleanPeerText(text); }

// Every device heard on any adapter that is not the machine's own loopback.
template <typename F>
bool AnyHeard(const DiscoverReport& r, F match) {
  for (const AdapterReport& a : r.adapters)
    if (std::any_of(a.devices.begin(), a.devices.end(), match)) return true;
  return false;
}

// The address is in the network of some adapter other than loopback that heard it.
bool ReachableSomewhere(const DiscoverReport& r, const std::string& address) {
  for (const AdapterReport& a : r.adapters)
    if (!a.adapter.loopback && InSubnet(a.adapter, address)) return true;
  return false;
}

}  // namespace

bool InSubnet(const Adapter& adapter, const std::string& address) {
  const std::uint32_t mask = Ipv4(adapter.netmask);
  return (Ipv4(adapter.address) & mask) == (Ipv4(address) & mask);
}

std::vector<Hint> DiscoverHints(const DiscoverReport& r) {
  std::vector<Hint> hints;
  const bool onlyLoopback =
      std::all_of(r.adapters.begin(), r.adapters.end(), [](const AdapterReport& a) { return a.adapter.loopback; });
  if (onlyLoopback)
    hints.push_back({"no-adapter",
                     "This computer has no network adapter besides loopback: connect it by cable or Wi-Fi to the "
                     "router the recorder is plugged into."});
  for (const AdapterReport& a : r.adapters)
    if (!a.sent)
      hints.push_back({"send-failed", "The search could not be sent from " + a.adapter.address + " (" +
                                          a.adapter.name + "): " + a.error + "."});
  const bool heardAny = AnyHeard(r, [](const HeardDevice&) { return true; });
  if (!heardAny) {
    hints.push_back({"nothing-heard",
                     "Nothing answered on any adapter. Check that the recorder is powered on and its network cable "
                     "is plugged into the same router as this computer, and that no firewall blocks UDP port " +
                         std::to_string(net::kDiscoveryPort) + " (both ways)."});
    return hints;
  }
  std::vector<std::string> told;
  for (const AdapterReport& a : r.adapters) {
    if (a.adapter.loopback) continue;
    for (const HeardDevice& d : a.devices) {
      if (d.inSubnet || ReachableSomewhere(r, d.address) ||
          std::find(told.begin(), told.end(), d.address) != told.end())
        continue;
      told.push_back(d.address);
      hints.push_back({"other-subnet",
                       "The " + Peer(d.model) + " at " + d.address + " answered on " + a.adapter.address + " (" +
                           a.adapter.name + ", netmask " + a.adapter.netmask +
                           ") but its address belongs to another network, so the wizard cannot reach it. Give the "
                           "recorder an address in this network (set it to DHCP, or reset it to its factory "
                           "settings), or give this computer an address in the recorder's network."});
    }
  }
  if (AnyHeard(r, [](const HeardDevice& d) { return !IsRecorder(d); }))
    hints.push_back({"other-model", std::string("Devices of another model answered too; the wizard sets up only the ") +
                                        kRecorderModel + " and lists no other device."});
  if (!AnyHeard(r, IsRecorder))
    hints.push_back({"no-recorder", std::string("Devices answered, but no ") + kRecorderModel +
                                        ". Check that the recorder is powered on and connected."});
  return hints;
}

int DiscoverExitCode(const DiscoverReport& r) {
  if (AnyHeard(r, IsRecorder)) return kFound;
  const bool anySent = std::any_of(r.adapters.begin(), r.adapters.end(), [](const AdapterReport& a) { return a.sent; });
  return anySent ? kNotFound : kError;
}

std::string DiscoverText(const DiscoverReport& r) {
  std::ostringstream out;
  out << "Searching from every IPv4 adapter for " << r.windowMs / 1000.0 << " s (UDP port " << net::kDiscoveryPort
      << ")\n";
  for (const AdapterReport& a : r.adapters) {
    out << "\n" << a.adapter.name << "  " << a.adapter.address << "  netmask " << a.adapter.netmask;
    if (!a.adapter.broadcast.empty()) out << "  broadcast " << a.adapter.broadcast;
    if (a.adapter.loopback) out << "  (loopback)";
    out << "\n  search sent: " << (a.sent ? "yes" : "no, " + a.error) << "\n";
    if (a.sent && a.devices.empty()) out << "  no answer\n";
    for (const HeardDevice& d : a.devices) {
      out << "  " << (IsRecorder(d) ? "* " : "  ") << Peer(d.model) << "  \"" << Peer(d.name) << "\"  " << d.address << "  MAC "
          << d.mac << "  HTTP port " << d.httpPort;
      if (!d.inSubnet) out << "  (outside this adapter's network)";
      out << "\n";
    }
  }
  const std::vector<Hint> hints = DiscoverHints(r);
  if (!hints.empty()) out << "\nHints:\n";
  for (const Hint& h : hints) out << "- " << h.text << "\n";
  out << "\n" << (DiscoverExitCode(r) == kFound ? "Result: recorder found.\n" : "Result: no recorder found.\n");
  return out.str();
}

nlohmann::json DiscoverJson(const DiscoverReport& r) {
  nlohmann::json adapters = nlohmann::json::array();
  for (const AdapterReport& a : r.adapters) {
    nlohmann::json devices = nlohmann::json::array();
    for (const HeardDevice& d : a.devices)
      devices.push_back({{"model", Peer(d.model)}, {"name", Peer(d.name)}, {"mac", d.mac}, {"address", d.address},
                         {"http_port", d.httpPort}, {"in_subnet", d.inSubnet}, {"recorder", IsRecorder(d)}});
    adapters.push_back({{"name", a.adapter.name}, {"address", a.adapter.address}, {"netmask", a.adapter.netmask},
                        {"broadcast", a.adapter.broadcast}, {"loopback", a.adapter.loopback}, {"sent", a.sent},
                        {"error", a.error}, {"devices", devices}});
  }
  nlohmann::json hints = nlohmann::json::array();
  for (const Hint& h : DiscoverHints(r)) hints.push_back({{"code", h.code}, {"text", h.text}});
  return {{"window_ms", r.windowMs}, {"port", net::kDiscoveryPort}, {"adapters", adapters}, {"hints", hints},
          {"found", DiscoverExitCode(r) == kFound}};
}

std::vector<Hint> RecorderHints(const RecorderReport& r) {
  std::vector<Hint> hints;
  if (!r.http.open)
    hints.push_back({"http-closed", "The recorder's web port " + std::to_string(r.http.port) + " does not answer (" +
                                        r.http.error + "). Check the address, and that the recorder is powered on."});
  if (r.http.open && !r.https.open)
    hints.push_back({"https-closed", "HTTPS on port 443 does not answer; the wizard needs it for the camera list."});
  if (r.http.open && !r.passwordAccepted && r.readError.empty())
    hints.push_back({"password", "The recorder did not accept the administrator password."});
  return hints;
}

int RecorderExitCode(const RecorderReport& r) { return r.http.open ? kFound : kNotFound; }

std::string RecorderText(const RecorderReport& r) {
  std::ostringstream out;
  auto port = [&](const char* what, const PortCheck& p) {
    out << what << " port " << p.port << ": " << (p.open ? "answers" : "no answer (" + p.error + ")") << "\n";
  };
  out << "Recorder " << r.address << "\n";
  port("HTTP ", r.http);
  port("HTTPS", r.https);
  if (!r.authentication.empty()) out << "Authentication: " << Peer(r.authentication) << "\n";
  if (!r.certificateSha256.empty()) out << "Certificate SHA-256: " << r.certificateSha256 << "\n";
  else if (!r.certificateError.empty()) out << "Certificate: not read (" << r.certificateError << ")\n";
  if (!r.readError.empty()) out << "Read-only look: " << r.readError << "\n";
  if (r.passwordAccepted) {
    for (std::size_t bay = 0; bay < r.disks.size(); ++bay) {
      out << "HD" << bay + 1 << ":\n";
      for (const auto& [k, v] : r.disks[bay]) out << "  " << Peer(k) << " = " << Peer(v) << "\n";
    }
    out << "Date, time and time zone:\n";
    for (const auto& [k, v] : r.dateTime) out << "  " << Peer(k) << " = " << Peer(v) << "\n";
  }
  const std::vector<Hint> hints = RecorderHints(r);
  if (!hints.empty()) out << "\nHints:\n";
  for (const Hint& h : hints) out << "- " << h.text << "\n";
  return out.str();
}

nlohmann::json RecorderJson(const RecorderReport& r) {
  auto port = [](const PortCheck& p) { return nlohmann::json{{"port", p.port}, {"open", p.open}, {"error", p.error}}; };
  auto pairs = [](const RecorderReport::KeyValues& kv) {
    nlohmann::json o = nlohmann::json::object();
    for (const auto& [k, v] : kv) o[Peer(k)] = Peer(v);
    return o;
  };
  nlohmann::json disks = nlohmann::json::array();
  for (const auto& bay : r.disks) disks.push_back(pairs(bay));
  nlohmann::json hints = nlohmann::json::array();
  for (const Hint& h : RecorderHints(r)) hints.push_back({{"code", h.code}, {"text", h.text}});
  return {{"address", r.address}, {"http", port(r.http)}, {"https", port(r.https)},
          {"authentication", Peer(r.authentication)}, {"certificate_sha256", r.certificateSha256},
          {"certificate_error", r.certificateError}, {"password_accepted", r.passwordAccepted},
          {"read_error", r.readError}, {"disks", disks}, {"datetime", pairs(r.dateTime)},
          {"hints", hints}, {"reachable", RecorderExitCode(r) == kFound}};
}

std::string JsonText(const nlohmann::json& report) {
  // Anything not valid UTF-8 that got past the cleaning becomes U+FFFD instead of an exception.
  return report.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::vector<std::pair<std::string, std::string>> KeyValueLines(const std::string& reply) {
  std::vector<std::pair<std::string, std::string>> out;
  std::istringstream in(reply);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t eq = line.find('=');
    if (eq != std::string::npos && eq > 0) out.emplace_back(line.substr(0, eq), line.substr(eq + 1));
  }
  return out;
}

}  // namespace vrx::probe
