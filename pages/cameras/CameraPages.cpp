#include "pages/cameras/CameraPages.h"

#include "app/PageRegistry.h"
#include "pages/cameras/CameraPopups.h"
#include "pages/cameras/CameraSearchDlg.h"
#include "ui/Overlay.h"

namespace vrx {

void RegisterCameraPages() {
  RegisterPage(CCameraSearchDlg::kPageType, [](CInterDialog& host) { return new CCameraSearchDlg(host); });
  ui::RegisterOverlay(ui::kOverlayInstallCamera, [](QWidget* veil, const ui::OverlayInputs&) -> std::unique_ptr<QDialog> {
    return std::make_unique<CInstallCamPage>(veil);
  });
}

}  // namespace vrx
