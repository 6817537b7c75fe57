#include "pages/cloud/CloudPages.h"

#include "app/PageRegistry.h"
#include "pages/cloud/KelvaroServiceDlg.h"

namespace vrx {

void RegisterCloudPages() {
  RegisterPage(CKelvaroServiceDlg::kPageType, [](CInterDialog& host) { return new CKelvaroServiceDlg(host); });
}

}  // namespace vrx
