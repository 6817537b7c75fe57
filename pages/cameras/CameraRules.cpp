#include "pages/cameras/CameraRules.h"

#include <QStringList>

#include "i18n/LangString.h"
#include "net/PeerText.h"
#include "net/ReplyParsers.h"

namespace vrx {

std::optional<CameraRecord> ParseCameraLine(const QString& line) {
  const QStringList f = line.split(QLatin1Char(';'));
  auto field = [&f](int i) { return i < f.size() ? f[i] : QString(); };
  CameraRecord c;
  c.status = field(0);
  c.address = field(1);
  c.cameraId = field(2);
  c.brand = field(3);
  c.model = field(4);
  c.account = field(5);
  c.password = field(6);
  c.reserved = field(7);
  c.protocolType = field(8);
  if (c.address.isEmpty()) return std::nullopt;
  return c;
}

std::vector<CameraRecord> ParseCameraLines(const std::vector<std::string>& lines) {
  std::vector<CameraRecord> out;
  for (const std::string& line : lines)
    if (auto c = ParseCameraLine(QString::fromStdString(line))) out.push_back(std::move(*c));
  return out;
}

void RememberedCameras::Remember(const QString& address, bool ticked, const std::vector<CameraRecord*>& cameras) {
  for (const CameraRecord* c : cameras) {
    if (c->address != address || c->password.isEmpty()) continue;
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [c](const RememberedCamera& r) { return r.cameraId == c->cameraId; });
    if (it == entries_.end()) {
      entries_.push_back({address, c->cameraId, ticked ? 1 : 0, c->password});
    } else {
      it->ticked = ticked ? 1 : 0;
      it->password = c->password;
    }
  }
}

const RememberedCamera* RememberedCameras::Find(const QString& cameraId) const {
  for (const RememberedCamera& r : entries_)
    if (r.cameraId == cameraId) return &r;
  return nullptr;
}

CameraTarget MakeCameraTarget(const CameraRecord& camera, const QString& password) {
  CameraTarget t;
  t.host = camera.address.section(QLatin1Char(':'), 0, 0).toStdString();
  t.cameraId = camera.cameraId.toStdString();
  t.datagram = UsesDatagrams(camera);
  t.current = camera.password.toStdString();
  t.password = password.toStdString();
  return t;
}

TickStep ChooseTickStep(const CameraRecord& camera, bool rowPasswordKnown) {
  if (rowPasswordKnown && !camera.password.isEmpty()) return TickStep::TickNow;
  if (camera.verified) return TickStep::TickNow;
  if (!camera.password.isEmpty() || camera.account.isEmpty()) return TickStep::EnterPassword;
  return TickStep::CreatePassword;
}

QString CreatePasswordError(const QString& password, const QString& confirm) {
  if (password != confirm) return QStringLiteral("nvrpwd_03");
  static const QString kForbidden = QStringLiteral("/:& ");
  for (QChar ch : password)
    if (kForbidden.contains(ch)) return QString::fromLatin1(kCameraPasswordRuleKey);
  if (password.size() < kMinCameraPassword || password.size() > kMaxCameraPassword)
    return QString::fromLatin1(kCameraPasswordRuleKey);
  return {};
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

std::optional<CloudValues> SplitPortalResult(const std::string& result) {
  if (result.empty() || result == "-1") return std::nullopt;
  const QString text = QString::fromStdString(result);
  CloudValues values;
  int from = 0;
  for (int i = 0; i < int(values.size()); ++i) {
    const int amp = i + 1 < int(values.size()) ? text.indexOf(QLatin1Char('&'), from) : -1;
    if (amp < 0) {
      values[std::size_t(i)] = from <= text.size() ? text.mid(from) : QString();
      from = text.size() + 1;
    } else {
      values[std::size_t(i)] = text.mid(from, amp - from);
      from = amp + 1;
    }
  }
  return values;
}

CloudRegistration ParseRegistration(const std::string& reply) {
  auto value = [&reply](const char* key) { return QString::fromStdString(net::ReplyValue(reply, key)); };
  return {value("status"), value("email"), value("password")};
}

QString UnfinishedChangesText(const std::vector<CameraChange>& changes, const std::vector<CameraRecord>& cameras) {
  QStringList lines;
  for (const CameraChange& change : changes) {
    if (change.finished || change.index < 0 || change.index >= int(cameras.size())) continue;
    const CameraRecord& c = cameras[std::size_t(change.index)];
    const QString model = QString::fromStdString(net::CleanPeerText(c.model.toStdString()));
    const QString address = QString::fromStdString(net::CleanPeerText(c.address.toStdString()));
    const QString line = change.kind == CameraChange::kAdd
                             ? GetLangString(QStringLiteral("camsearch_add_unfinished"),
                                             QStringLiteral("Not added: {0} ({1})"), model, address)
                             : GetLangString(QStringLiteral("camsearch_remove_unfinished"),
                                             QStringLiteral("Not removed: {0} ({1})"), model, address);
    lines << line;
  }
  if (lines.isEmpty()) return {};
  return GetLangString(QStringLiteral("camsearch_update_unfinished"),
                       QStringLiteral("The NVR did not confirm every change:")) +
         QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
}

}  // namespace vrx
