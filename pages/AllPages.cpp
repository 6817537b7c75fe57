#include "pages/AllPages.h"

#include "pages/cameras/CameraPages.h"
#include "pages/common/ScaffoldPages.h"
#include "pages/intro/IntroPages.h"
#include "pages/recorder/RecorderPages.h"

namespace vrx {

void RegisterAllPages() {
  // Scaffolding first; each page group's registration replaces the stand-ins of the pages it has built.
  RegisterScaffoldPages();
  RegisterIntroPages();
  RegisterRecorderPages();
  RegisterCameraPages();
}

}  // namespace vrx
