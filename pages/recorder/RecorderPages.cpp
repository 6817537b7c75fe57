#include "pages/recorder/RecorderPages.h"

#include "app/PageRegistry.h"

namespace vrx {

void RegisterRecorderPages() {
  // Each page of this group adds its registration here (page factory and overlay kinds).
}

}  // namespace vrx
