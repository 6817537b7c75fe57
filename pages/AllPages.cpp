#include "pages/AllPages.h"

#include "pages/cameras/CameraPages.h"
#include "pages/cloud/CloudPages.h"
#include "pages/intro/IntroPages.h"
#include "pages/recorder/RecorderPages.h"
#include "pages/summary/SummaryPages.h"

namespace vrx {

void RegisterAllPages() {
  RegisterIntroPages();
  RegisterRecorderPages();
  RegisterCameraPages();
  RegisterCloudPages();
  RegisterSummaryPages();
}

}  // namespace vrx
