#include "net/RecorderEndpoint.h"

#include "net/DeviceCommandWorker.h"
#include "net/DeviceSearch.h"

namespace vrx::net {

RecorderEndpoint MakeRecorderEndpoint(const DeviceSearch& search, std::string ip, std::string mac,
                                      std::string user, Secret password) {
  const int entry = search.FindByMac(mac);
  return RecorderEndpoint(std::move(ip), std::move(mac), entry >= 0 ? search.HttpPort(entry) : 0, std::move(user),
                          std::move(password));
}

bool OpenAccountChannel(const DeviceSearch& search, DeviceCommandWorker& worker, const std::string& deviceIp) {
  const int iface = search.FindByIpv4(deviceIp);
  return iface >= 0 && worker.OpenDatagram(search.LocalAddress(iface));
}

}  // namespace vrx::net
