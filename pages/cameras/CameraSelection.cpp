#include "pages/cameras/CameraSelection.h"

#include "net/PeerText.h"
#include "pages/cameras/CamTickRules.h"

namespace vrx {

namespace {

QString Shown(const QString& peerText) {
  return QString::fromStdString(net::CleanPeerText(peerText.toStdString()));
}

}  // namespace

CameraRecord* CameraSelection::Record(int row) const {
  return row >= 0 && row < int(records_.size()) && row < rowCount() ? records_[std::size_t(row)].get() : nullptr;
}

void CameraSelection::BeginScan() {
  // Proven passwords survive the rescan by camera id: the camera may answer at another address next time.
  std::vector<CameraRecord*> cameras;
  for (const auto& c : records_) cameras.push_back(c.get());
  for (const CameraRow& row : rows_)
    if (row.passwordKnown) remembered_.Remember(row.address, row.ticked, cameras);
  rows_.clear();
  checkedCount_ = 0;
}

void CameraSelection::Rebuild(const std::vector<std::string>& lines) {
  records_.clear();
  rows_.clear();
  checkedCount_ = 0;
  for (CameraRecord& c : ParseCameraLines(lines)) records_.push_back(std::make_unique<CameraRecord>(std::move(c)));
  for (const auto& camera : records_) {
    CameraRow row;
    row.model = Shown(camera->model);
    row.address = Shown(camera->address);
    row.usable = net::IsDeviceAddress(camera->address.toStdString());
    row.passwordKnown = row.usable && (camera->verified || camera->account == QLatin1String("admin"));
    if (const RememberedCamera* r = row.usable ? remembered_.Find(camera->cameraId) : nullptr) {
      camera->password = r->password;
      camera->verified = 1;
      row.passwordKnown = true;
      row.ticked = r->ticked && ui::CamTickRules(checkedCount_).Tick();
    }
    rows_.push_back(row);
  }
}

TickDecision CameraSelection::DecideTick(int row) const {
  const CameraRecord* camera = Record(row);
  if (!camera || !rows_[std::size_t(row)].usable) return TickDecision::Unusable;
  if (checkedCount_.load() >= ui::kMaxTicked) return TickDecision::Refused;
  switch (ChooseTickStep(*camera, rows_[std::size_t(row)].passwordKnown)) {
    case TickStep::TickNow: return TickDecision::TickNow;
    case TickStep::EnterPassword: return TickDecision::EnterPassword;
    case TickStep::CreatePassword: return TickDecision::CreatePassword;
  }
  return TickDecision::Unusable;
}

bool CameraSelection::Tick(int row) {
  if (!Record(row) || !rows_[std::size_t(row)].usable || rows_[std::size_t(row)].ticked) return false;
  if (!ui::CamTickRules(checkedCount_).Tick()) return false;
  rows_[std::size_t(row)].ticked = true;
  return true;
}

void CameraSelection::Unticked(int row) {
  if (Record(row)) rows_[std::size_t(row)].ticked = false;
}

void CameraSelection::PasswordProven(int row, const QString& password) {
  CameraRecord* camera = Record(row);
  if (!camera) return;
  camera->password = password;
  camera->verified = 1;
  rows_[std::size_t(row)].passwordKnown = true;
}

CameraTarget CameraSelection::Target(int row, const QString& password) const {
  const CameraRecord* camera = Record(row);
  return camera ? MakeCameraTarget(*camera, password) : CameraTarget{};
}

void CameraSelection::MarkSelected() {
  for (int i = 0; i < int(records_.size()); ++i) {
    records_[std::size_t(i)]->selected = i < rowCount() && rows_[std::size_t(i)].ticked ? 1 : 0;
    records_[std::size_t(i)]->added = 0;
  }
}

std::vector<CameraRecord> CameraSelection::Snapshot() const {
  std::vector<CameraRecord> out;
  for (const auto& c : records_) out.push_back(*c);
  return out;
}

void CameraSelection::Confirm(const std::vector<CameraChange>& changes) {
  for (const auto& c : records_) c->added = 0;
  for (const CameraChange& change : changes)
    if (change.kind == CameraChange::kAdd && change.finished)
      if (CameraRecord* c = Record(change.index)) c->added = 1;
}

}  // namespace vrx
