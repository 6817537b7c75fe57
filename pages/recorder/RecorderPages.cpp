#include "pages/recorder/RecorderPages.h"

#include "app/InterDialog.h"
#include "app/PageRegistry.h"
#include "pages/recorder/HddFormatDlg.h"
#include "pages/recorder/NvrPwdDlg.h"
#include "pages/recorder/NvrSearchDlg.h"
#include "pages/recorder/NvrSearchOverlays.h"
#include "pages/recorder/NvrTimeZoneDlg.h"

namespace vrx {

void RegisterRecorderPages() {
  // Each page of this group adds its registration here (page factory and overlay kinds).
  RegisterPage(CNvrSearchDlg::kPageType, [](CInterDialog& host) { return new CNvrSearchDlg(host); });
  RegisterNvrSearchOverlays();
  RegisterPage(CNvrPwdDlg::kPageType, [](CInterDialog& host) {
    return new CNvrPwdDlg(host, host.discovery(), host.worker(), host.probeOutcome());
  });
  RegisterPage(CNvrTimeZoneDlg::kPageType, [](CInterDialog& host) { return new CNvrTimeZoneDlg(host); });
  RegisterPage(CHddFormatDlg::kPageType, [](CInterDialog& host) { return new CHddFormatDlg(host); });
}

}  // namespace vrx
