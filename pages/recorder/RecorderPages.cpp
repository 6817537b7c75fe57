#include "pages/recorder/RecorderPages.h"

#include "app/PageRegistry.h"
#include "pages/recorder/HddFormatDlg.h"
#include "pages/recorder/NvrSearchDlg.h"
#include "pages/recorder/NvrSearchOverlays.h"

namespace vrx {

void RegisterRecorderPages() {
  // Each page of this group adds its registration here (page factory and overlay kinds).
  RegisterPage(CNvrSearchDlg::kPageType, [](CInterDialog& host) { return new CNvrSearchDlg(host); });
  RegisterNvrSearchOverlays();
  RegisterPage(CHddFormatDlg::kPageType, [](CInterDialog& host) { return new CHddFormatDlg(host); });
}

}  // namespace vrx
