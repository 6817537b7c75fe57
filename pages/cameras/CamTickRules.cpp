#include "pages/cameras/CamTickRules.h"

namespace vrx::ui {

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

}  // namespace vrx::ui
