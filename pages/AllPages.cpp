#include "pages/AllPages.h"

#include "pages/common/ScaffoldPages.h"

namespace vrx {

void RegisterAllPages() {
  // Scaffolding first; each page group's registration replaces the stand-ins of the pages it has built.
  RegisterScaffoldPages();
}

}  // namespace vrx
