#include "pages/cameras/CameraRules.h"

#include <QStringList>
#include <algorithm>

#include "i18n/LangString.h"
#include "steps/PeerQText.h"
#include "pages/cameras/CamTickRules.h"

namespace vrx {

void RememberedCameras::Remember(const CameraRecord& camera, bool ticked) {
  if (camera.password.empty()) return;
  auto it = std::find_if(entries_.begin(), entries_.end(), [&camera](const RememberedCamera& r) {
    return r.cameraId == camera.cameraId && r.address == camera.address;
  });
  if (it == entries_.end()) {
    entries_.push_back({camera.address, camera.cameraId, ticked ? 1 : 0, camera.created, camera.password.Copy()});
  } else {
    it->ticked = ticked ? 1 : 0;
    it->created = camera.created;
    it->password = camera.password.Copy();
  }
}

const RememberedCamera* RememberedCameras::Find(const QString& cameraId, const QString& address) const {
  for (const RememberedCamera& r : entries_)
    if (r.cameraId == cameraId && r.address == address) return &r;
  return nullptr;
}

TickStep ChooseTickStep(const CameraRecord& camera, const TickState& row) {
  if (!row.usable) return TickStep::Unusable;
  if (row.tickedCount >= ui::kMaxTicked) return TickStep::Refused;
  if (row.passwordKnown && !camera.password.empty()) return TickStep::TickNow;
  if (camera.verified) return TickStep::TickNow;
  if (!camera.password.empty() || camera.account.isEmpty()) return TickStep::EnterPassword;
  return TickStep::CreatePassword;
}

const char* NewPasswordFaultKey(steps::NewCameraPasswordFault fault) {
  switch (fault) {
    case steps::NewCameraPasswordFault::None: return "";
    case steps::NewCameraPasswordFault::Mismatch: return "nvrpwd_03";
    case steps::NewCameraPasswordFault::ForbiddenCharacter:
    case steps::NewCameraPasswordFault::Length: return kCameraPasswordRuleKey;
  }
  return kCameraPasswordRuleKey;
}

// What the values mean is the cloud step's (steps/cloud/CloudStatusStep.h).
steps::CloudValues CloudValuesBeforeRead() { return steps::CloudValuesBeforeRead(); }

steps::CloudValues CloudValuesAfterRead(const steps::CloudStatusResult& read) { return steps::CloudValuesOf(read); }

int UpdateVeilTicks(const std::vector<CameraRecord>& cameras, const steps::CameraUpdatePolls& polls, int tickMs) {
  const int worst = steps::UpdateWorstCaseMs(cameras, polls) / tickMs;
  return std::max(kNextVeilTicks, worst + kNextVeilTicks / 10);
}

QString UnfinishedChangesText(const std::vector<steps::CameraChange>& changes, const std::vector<CameraRecord>& cameras) {
  QStringList lines;
  for (const steps::CameraChange& change : changes) {
    if (change.finished || change.index < 0 || change.index >= int(cameras.size())) continue;
    const CameraRecord& c = cameras[std::size_t(change.index)];
    const QString model = steps::PeerQText(c.model);
    const QString address = steps::PeerQText(c.address);
    lines << (change.kind == steps::CameraChange::kAdd
                  ? GetLangString(QStringLiteral("camsearch_add_unfinished"), QStringLiteral("Not added: {0} ({1})"),
                                  model, address)
                  : GetLangString(QStringLiteral("camsearch_remove_unfinished"),
                                  QStringLiteral("Not removed: {0} ({1})"), model, address));
  }
  if (lines.isEmpty()) return {};
  return GetLangString(QStringLiteral("camsearch_update_unfinished"),
                       QStringLiteral("The NVR did not confirm every change:")) +
         QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
}

}  // namespace vrx
