#include "steps/cameras/CameraRules.h"

#include <algorithm>

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

bool IsNamedCamera(const WantedCamera& wanted, const CameraRecord& camera) {
  if (!wanted.id.isEmpty()) return camera.cameraId == wanted.id;
  const QString port = QStringLiteral(":%1").arg(kDefaultCameraPort);
  return camera.address == wanted.address || camera.address == wanted.address + port ||
         camera.address + port == wanted.address;
}

int FindCamera(const std::vector<CameraRecord>& listed, const WantedCamera& wanted) {
  for (std::size_t i = 0; i < listed.size(); ++i)
    if (IsNamedCamera(wanted, listed[i])) return int(i);
  return -1;
}

bool IsRecordedWith(const CameraRecord& camera, const net::Secret& password) {
  return IsAssigned(camera) && camera.password == password;
}

CameraPlan DecideCameras(const std::vector<CameraRecord>& listed, const std::vector<WantedCamera>& wanted,
                         const std::vector<CameraFinding>& findings, bool removeUnlisted) {
  CameraPlan plan;
  Decision& d = plan.decision;
  if (wanted.empty() && !removeUnlisted) {
    d.detail = "no camera listed: the recorder's cameras are kept";
    return plan;
  }
  std::string detail;
  const auto add = [&detail](const std::string& part) { detail += (detail.empty() ? "" : "; ") + part; };
  const auto refuse = [&](const char* reason, const std::string& why) {
    if (!d.refused()) d.reason = reason;
    d.verdict = Verdict::Refused;
    add(why);
  };
  const auto change = [&](const char* reason, const std::string& what) {
    if (d.verdict == Verdict::Unchanged) d.verdict = Verdict::WouldChange, d.reason = reason;
    add(what);
  };
  std::vector<bool> named(listed.size(), false), recordedAfter(listed.size(), false);
  for (std::size_t i = 0; i < listed.size(); ++i) recordedAfter[i] = IsAssigned(listed[i]);
  const auto recordedList = [&](const std::vector<bool>& recorded) {
    std::string text;
    for (std::size_t i = 0; i < listed.size(); ++i)
      if (recorded[i]) text += (text.empty() ? "" : ", ") + listed[i].address.toStdString();
    return text;
  };
  const std::string before = recordedList(recordedAfter);

  for (std::size_t w = 0; w < wanted.size() && w < findings.size(); ++w) {
    const CameraFinding& f = findings[w];
    const std::string name = ShownPeerText(wanted[w].Name());
    if (f.index < 0 || f.index >= int(listed.size())) {
      refuse("camera_not_listed", "the recorder does not list camera " + name);
      continue;
    }
    named[std::size_t(f.index)] = true;
    if (!f.takesPassword && !(wanted[w].create && f.factoryState)) {
      if (wanted[w].create)
        refuse("camera_not_factory_state", "camera " + name + " is not in its factory state and refuses new_password");
      else
        refuse("camera_password_refused", "camera " + name + " refuses its password");
      continue;
    }
    if (!f.takesPassword) {
      plan.givePassword.push_back(int(w));
      change("camera_password", "give camera " + name + " its new password");
    }
    if (f.recorded) {
      add("camera " + name + " is recorded");
    } else {
      plan.add.emplace_back(f.index, int(w));
      recordedAfter[std::size_t(f.index)] = true;
      change("camera_add", "add camera " + name);
    }
  }
  int kept = 0;
  for (std::size_t i = 0; i < listed.size(); ++i) {
    if (!IsAssigned(listed[i]) || named[i]) continue;
    if (!removeUnlisted) {
      ++kept;
      continue;
    }
    plan.remove.push_back(int(i));
    recordedAfter[i] = false;
    change("camera_remove", "remove camera " + ShownPeerText(listed[i].address.toStdString()));
  }
  if (kept) add("keeps " + std::to_string(kept) + " camera(s) the file does not list");
  if (std::count(recordedAfter.begin(), recordedAfter.end(), true) > kMaxCameras)
    refuse("too_many_cameras", "the recorder would record more than " + std::to_string(kMaxCameras) + " cameras");
  d.detail = detail.empty() ? "nothing to do" : detail;
  d.before = before;
  if (!d.refused()) d.after = recordedList(recordedAfter);
  if (d.refused()) plan.givePassword.clear(), plan.add.clear(), plan.remove.clear();
  return plan;
}

std::vector<CameraRecord> CameraChoice(const std::vector<CameraRecord>& listed, const CameraPlan& plan,
                                       const std::vector<const net::Secret*>& passwords) {
  std::vector<CameraRecord> choice;
  for (const CameraRecord& c : listed) {
    choice.push_back(c.Copy());
    choice.back().selected = IsAssigned(c) ? 1 : 0;
  }
  for (int line : plan.remove) choice[std::size_t(line)].selected = 0;
  for (const auto& [line, w] : plan.add) {
    choice[std::size_t(line)].selected = 1;
    choice[std::size_t(line)].password = passwords[std::size_t(w)]->Copy();
  }
  return choice;
}

}  // namespace vrx::steps
