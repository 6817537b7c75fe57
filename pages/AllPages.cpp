#include "pages/AllPages.h"

#include "pages/cameras/CameraPages.h"
#include "pages/preview/PreviewPage.h"
#include "pages/cloud/CloudPages.h"
#include "pages/intro/IntroPages.h"
#include "pages/recorder/RecorderPages.h"
#include "pages/summary/SummaryPages.h"

namespace vrx {

void RegisterAllPages() {
  RegisterIntroPages();
  RegisterRecorderPages();
  RegisterCameraPages();
  RegisterPreviewOverlay();  // the camera page's live preview (overlay kind 8)
  RegisterCloudPages();
  RegisterSummaryPages();
}

}  // namespace vrx
