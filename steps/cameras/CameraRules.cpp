#include "steps/cameras/CameraRules.h"

#include <QStringList>

#include "net/PeerText.h"

namespace vrx::steps {

std::vector<CameraRecord> ParseCameraLines(const std::vector<std::string>& lines) {
  std::vector<CameraRecord> out;
  for (const std::string& line : lines) {
    const QStringList f = QString::fromStdString(line).split(QLatin1Char(';'));
    auto field = [&f](int i) { return i < f.size() ? f[i] : QString(); };
    if (field(1).isEmpty()) continue;
    CameraRecord c;
    c.status = field(0);
    c.address = field(1);
    c.cameraId = field(2);
    c.brand = field(3);
    c.model = field(4);
    c.account = field(5);
    c.password = net::Secret(field(6).toStdString());
    c.reserved = field(7);
    c.protocolType = field(8);
    out.push_back(std::move(c));
  }
  return out;
}

std::optional<net::MacAddress> MacFromCameraId(const QString& cameraId) {
  net::MacAddress mac{};
  int digits = 0;
  for (QChar ch : cameraId) {
    bool ok = false;
    const int v = QString(ch).toInt(&ok, 16);
    if (!ok) continue;
    if (digits >= 12) return std::nullopt;
    mac[std::size_t(digits / 2)] = std::uint8_t(mac[std::size_t(digits / 2)] * 16 + v);
    ++digits;
  }
  if (digits != 12) return std::nullopt;
  return mac;
}

bool IsUsableCameraAddress(const QString& address) {
  // ":0" names no port of its own: the camera is reached at the default one.
  const QString text = address.endsWith(QLatin1String(":0")) ? address.chopped(2) : address;
  return net::IsDeviceAddress(text.toStdString());
}

std::string CameraHost(const QString& address) { return address.section(QLatin1Char(':'), 0, 0).toStdString(); }

NewCameraPasswordFault CheckNewCameraPassword(const QString& password, const QString& confirm) {
  if (password != confirm) return NewCameraPasswordFault::Mismatch;
  static const QString kForbidden = QStringLiteral("/:& ");
  for (QChar ch : password)
    if (kForbidden.contains(ch)) return NewCameraPasswordFault::ForbiddenCharacter;
  if (password.size() < kMinCameraPassword || password.size() > kMaxCameraPassword) return NewCameraPasswordFault::Length;
  return NewCameraPasswordFault::None;
}

std::vector<CameraChange> PlanCameraChanges(const std::vector<CameraRecord>& cameras) {
  std::vector<CameraChange> plan;
  for (int i = 0; i < int(cameras.size()); ++i) {
    if (WillRemove(cameras[std::size_t(i)])) plan.push_back({CameraChange::kRemove, i, false});
    if (WillAdd(cameras[std::size_t(i)])) plan.push_back({CameraChange::kAdd, i, false});
  }
  return plan;
}

}  // namespace vrx::steps
