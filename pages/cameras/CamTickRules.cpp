#include "pages/cameras/CamTickRules.h"

namespace vrx {

TickClick DecideTickClick(bool ticked, int checkedCount) {
  if (ticked) return TickClick::Untick;
  if (checkedCount >= kMaxTicked) return TickClick::Nothing;
  return TickClick::ReportRow;
}

bool CamTickRules::Tick() {
  int n = count_.load();
  while (n < kMaxTicked)
    if (count_.compare_exchange_weak(n, n + 1)) return true;
  return false;
}

void CamTickRules::Untick() {
  int n = count_.load();
  while (n > 0)
    if (count_.compare_exchange_weak(n, n - 1)) return;
}

TickStep ChooseTickStep(const steps::CameraRecord& camera, const TickState& row) {
  if (!row.usable) return TickStep::Unusable;
  if (row.tickedCount >= kMaxTicked) return TickStep::Refused;
  if (row.passwordKnown && !camera.password.empty()) return TickStep::TickNow;
  if (camera.verified) return TickStep::TickNow;
  if (!camera.password.empty() || camera.account.isEmpty()) return TickStep::EnterPassword;
  return TickStep::CreatePassword;
}

}  // namespace vrx
