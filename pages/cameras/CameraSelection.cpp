#include "pages/cameras/CameraSelection.h"

#include "pages/cameras/CamTickRules.h"
#include "steps/PeerQText.h"

namespace vrx {

CameraRecord* CameraSelection::Record(int row) const {
  return row >= 0 && row < int(records_.size()) && row < rowCount() ? records_[std::size_t(row)].get() : nullptr;
}

void CameraSelection::BeginScan() {
  for (int i = 0; i < rowCount(); ++i)
    if (rows_[std::size_t(i)].passwordKnown) remembered_.Remember(*Record(i), rows_[std::size_t(i)].ticked);
  rows_.clear();
  checkedCount_ = 0;
}

void CameraSelection::Rebuild(const std::vector<std::string>& lines) {
  records_.clear();
  rows_.clear();
  checkedCount_ = 0;
  for (CameraRecord& c : steps::ParseCameraLines(lines)) records_.push_back(std::make_unique<CameraRecord>(std::move(c)));
  for (const auto& camera : records_) {
    CameraRow row;
    row.model = steps::PeerQText(camera->model);
    row.address = steps::PeerQText(camera->address);
    row.usable = steps::IsUsableCameraAddress(camera->address);
    row.passwordKnown = row.usable && (camera->verified || camera->account == QLatin1String(steps::kCameraAccount));
    const RememberedCamera* r = row.usable ? remembered_.Find(camera->cameraId, camera->address) : nullptr;
    if (r) {
      camera->password = r->password.Copy();
      camera->verified = 1;
      camera->created = r->created;
      row.passwordKnown = true;
      row.ticked = r->ticked && CamTickRules(checkedCount_).Tick();
    }
    rows_.push_back(row);
  }
}

TickStep CameraSelection::DecideTick(int row) const {
  const CameraRecord* camera = Record(row);
  if (!camera) return TickStep::Unusable;
  const CameraRow& r = rows_[std::size_t(row)];
  return ChooseTickStep(*camera, {r.usable, r.passwordKnown, checkedCount_.load()});
}

bool CameraSelection::Tick(int row) {
  if (!Record(row) || !rows_[std::size_t(row)].usable || rows_[std::size_t(row)].ticked) return false;
  if (!CamTickRules(checkedCount_).Tick()) return false;
  rows_[std::size_t(row)].ticked = true;
  return true;
}

void CameraSelection::Unticked(int row) {
  if (Record(row)) rows_[std::size_t(row)].ticked = false;
}

int CameraSelection::PasswordProven(const steps::CameraPasswordResult& result, net::Secret password, bool created) {
  if (!result.proven()) return -1;
  for (int i = 0; i < rowCount(); ++i) {
    CameraRecord* camera = Record(i);
    if (camera->cameraId != result.cameraId || camera->address != result.address) continue;
    camera->password = std::move(password);
    camera->verified = 1;
    camera->created = created ? 1 : 0;
    rows_[std::size_t(i)].passwordKnown = true;
    return i;
  }
  return -1;
}

void CameraSelection::MarkSelected() {
  for (int i = 0; i < int(records_.size()); ++i) {
    records_[std::size_t(i)]->selected = i < rowCount() && rows_[std::size_t(i)].ticked ? 1 : 0;
    records_[std::size_t(i)]->added = 0;
  }
}

std::vector<CameraRecord> CameraSelection::Snapshot() const {
  std::vector<CameraRecord> out;
  for (const auto& c : records_) out.push_back(c->Copy());
  return out;
}

void CameraSelection::Confirm(const std::vector<steps::CameraChange>& changes) {
  for (const auto& c : records_) c->added = 0;
  for (const steps::CameraChange& change : changes)
    if (change.kind == steps::CameraChange::kAdd && change.finished)
      if (CameraRecord* c = Record(change.index)) c->added = 1;
}

}  // namespace vrx
