#include "pages/summary/SummaryPages.h"

#include "app/PageRegistry.h"
#include "pages/summary/SummaryDlg.h"

namespace vrx {

void RegisterSummaryPages() {
  RegisterPage(CSummaryDlg::kPageType, [](CInterDialog& host) { return new CSummaryDlg(host); });
}

}  // namespace vrx
