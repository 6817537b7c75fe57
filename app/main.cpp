#include "app/BriskoApp.h"
#include "pages/AllPages.h"

int main(int argc, char** argv) {
  vrx::CBriskoApp app(argc, argv);
  vrx::RegisterAllPages();
  return app.InitInstance();
}
