#include "app/PageSequence.h"

#include "platform/Messages.h"

namespace vrx {

NavStep PageSequence::Navigate(int pageType, int navCode) {
  switch (navCode) {
    case NAV_BACK: return {HostAction::ShowPage, pageType - 1};
    case NAV_NEXT: return {HostAction::ShowPage, pageType + 1};
    case NAV_CLOSE:
    case NAV_FINISH: return {HostAction::EndWizard, pageType};
    case NAV_RESTART: return {HostAction::ShowPage, kFirstPageType};
    case NAV_MINIMIZE: return {HostAction::MinimizeFrame, pageType};
    default: return {HostAction::Ignore, pageType};
  }
}

int PageSequence::DisplayedPage(int pageType, const QString& cloudValue0, const QString& cloudValue1) {
  int shown = pageType;
  if (shown == kPageCloudService && (cloudValue1 != QLatin1String("1") || cloudValue0 == QLatin1String("1")))
    shown = kPageSummary;
  return (shown >= kFirstPageType && shown <= kLastPageType) ? shown : 0;
}

}  // namespace vrx
