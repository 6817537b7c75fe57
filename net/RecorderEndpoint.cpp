#include "net/RecorderEndpoint.h"

#include "net/DeviceCommandWorker.h"
#include "net/DeviceSearch.h"

namespace vrx::net {

RecorderEndpoint MakeRecorderEndpoint(const DeviceSearch& search, std::string ip, std::string mac,
                                      std::string user, std::string password) {
  const int entry = search.FindByMac(mac);
  RecorderEndpoint r;
  r.httpPort = entry >= 0 ? search.HttpPort(entry) : 0;
  r.ip = std::move(ip);
  r.mac = std::move(mac);
  r.user = std::move(user);
  r.password = std::move(password);
  return r;
}

bool OpenAccountChannel(const DeviceSearch& search, DeviceCommandWorker& worker, const std::string& deviceIp) {
  const int iface = search.FindByIpv4(deviceIp);
  return iface >= 0 && worker.OpenDatagram(search.LocalAddress(iface));
}

}  // namespace vrx::net
