// The wizard for the walks that Orca listens to (orca-walk.py), on the display it is given (Xvfb inside the
// sandbox), with accessibility on as a screen reader on the desktop's bus turns it on. The real frame-less host
// against the simulator, in one of two ways:
//
//   orca-walk-wizard RECORDER_IP RECORDER_MAC   the camera, cloud and summary pages, after frame-only stand-ins
//                                              for the pages before the camera page (the walk starts there)
//   orca-walk-wizard --from-welcome             every real page from the welcome page on, with Enter and Escape
//                                              swallowed as the wizard's frame swallows them
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <cstring>
#include <memory>

#include "StandInPages.h"
#include "WizardTestSupport.h"
#include "app/InterDialog.h"
#include "app/KeyFilter.h"
#include "app/PageRegistry.h"
#include "pages/AllPages.h"
#include "pages/cameras/CameraPages.h"
#include "pages/cameras/CameraSearchDlg.h"
#include "pages/cloud/CloudPages.h"
#include "pages/summary/SummaryPages.h"

using namespace vrx;

int main(int argc, char** argv) {
  const bool fromWelcome = argc == 2 && std::strcmp(argv[1], "--from-welcome") == 0;
  if (argc < 3 && !fromWelcome) {
    std::fprintf(stderr, "usage: %s RECORDER_IP RECORDER_MAC | --from-welcome\n", argv[0]);
    return 2;
  }
  QTemporaryDir home;  // the summary's launcher goes here, not into the user's desktop
  test::UseTemporaryHome(home);
  QApplication app(argc, argv);
  test::UseLanguage(0);
  ClearPageRegistry();
  if (fromWelcome) {
    RegisterAllPages();
  } else {
    RegisterStandInPages();
    RegisterCameraPages();
    RegisterCloudPages();
    RegisterSummaryPages();
  }

  CInterDialog host;
  std::unique_ptr<EnterEscapeFilter> keys;
  if (fromWelcome) {
    keys = std::make_unique<EnterEscapeFilter>();
    keys->Guard(&host);
    return host.exec();
  }
  host.SetRecorderIp(QString::fromLocal8Bit(argv[1]));
  host.SetRecorderMac(QString::fromLocal8Bit(argv[2]));
  host.SetAdminUser(QStringLiteral("admin"));
  host.SetAdminPassword(net::Secret());
  QTimer::singleShot(0, &host, [&host] {
    for (int type = host.pageType(); type < CCameraSearchDlg::kPageType; ++type)
      PostMessage(host.handle(), WM_WIZ_NAVIGATE, NAV_NEXT);
  });
  return host.exec();
}
