#pragma once
// What vrx-probe found, and the plain advice it gives from it. The reports are filled by the network checks
// (Discover.h, RecorderCheck.h); everything here is pure, so the advice is tested without a network.
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace vrx::probe {

inline constexpr const char* kRecorderModel = "VRX-410Q";

// Exit codes of vrx-probe.
enum ExitCode : int { kFound = 0, kNotFound = 1, kUsage = 2, kError = 3 };

struct Adapter {
  std::string name;       // interface name ("eth0")
  std::string address;    // IPv4 text
  std::string netmask;
  std::string broadcast;  // "" when the interface has none
  bool loopback = false;  // the machine's own 127.0.0.1 (extra addresses on lo count as adapters: that is
                          // how the test sandbox stands in for a network)
};

// True when `address` lies in the network of `adapter` (its address and netmask).
bool InSubnet(const Adapter& adapter, const std::string& address);

struct HeardDevice {
  std::string model, name, mac, address;
  std::uint16_t httpPort = 0;
  bool inSubnet = true;  // its address lies in the adapter's network
};

struct AdapterReport {
  Adapter adapter;
  bool sent = false;
  std::string error;  // why the search datagram could not be sent
  std::vector<HeardDevice> devices;  // de-duplicated, in order of arrival
};

struct DiscoverReport {
  int windowMs = 0;
  std::vector<AdapterReport> adapters;
};

struct Hint {
  std::string code;  // "no-adapter", "nothing-heard", "other-subnet", "other-model", "send-failed", "no-recorder"
  std::string text;
};

std::vector<Hint> DiscoverHints(const DiscoverReport& report);
// kFound when some adapter heard a VRX-410Q, kError when no datagram could be sent at all, else kNotFound.
int DiscoverExitCode(const DiscoverReport& report);
std::string DiscoverText(const DiscoverReport& report);
nlohmann::json DiscoverJson(const DiscoverReport& report);

struct PortCheck {
  int port = 0;
  bool open = false;
  std::string error;
};

struct RecorderReport {
  std::string address;
  PortCheck http, https;
  std::string authentication;       // "Basic", "Digest", "none" or "" when not known
  std::string certificateSha256;    // "AB:CD:..." of the certificate on 443, "" when none was read
  std::string certificateError;
  bool passwordAccepted = false;
  std::string readError;            // why the read-only look failed
  using KeyValues = std::vector<std::pair<std::string, std::string>>;
  std::vector<KeyValues> disks;  // /config/storageinfo of HD1 and HD2, key=value in order
  KeyValues dateTime;            // /config/datetime, key=value in order
};

std::vector<Hint> RecorderHints(const RecorderReport& report);
// kFound when the recorder's web port answered, else kNotFound.
int RecorderExitCode(const RecorderReport& report);
std::string RecorderText(const RecorderReport& report);
nlohmann::json RecorderJson(const RecorderReport& report);

// The report as printed by --json: indented, and never failing on a text that is not valid UTF-8.
std::string JsonText(const nlohmann::json& report);

// "a=1\r\nb=2" -> {{"a","1"},{"b","2"}}; lines without "=" are left out.
std::vector<std::pair<std::string, std::string>> KeyValueLines(const std::string& reply);

}  // namespace vrx::probe
