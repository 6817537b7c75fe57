// The wizard from the camera page on, for the walk that Orca listens to (orca-walk.py): the real frame-less
// host with the real camera, cloud and summary pages against the simulator, and frame-only stand-ins for the
// pages before the camera page, so the walk starts where the listening starts. Runs on the display it is given
// (Xvfb inside the sandbox), with accessibility on as a screen reader on the desktop's bus turns it on.
//
//   orca-walk-wizard RECORDER_IP RECORDER_MAC
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include "StandInPages.h"
#include "WizardTestSupport.h"
#include "app/InterDialog.h"
#include "app/PageRegistry.h"
#include "pages/cameras/CameraPages.h"
#include "pages/cameras/CameraSearchDlg.h"
#include "pages/cloud/CloudPages.h"
#include "pages/summary/SummaryPages.h"

using namespace vrx;

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s RECORDER_IP RECORDER_MAC\n", argv[0]);
    return 2;
  }
  QTemporaryDir home;  // the summary's launcher goes here, not into the user's desktop
  test::UseTemporaryHome(home);
  QApplication app(argc, argv);
  test::UseLanguage(0);
  ClearPageRegistry();
  RegisterStandInPages();
  RegisterCameraPages();
  RegisterCloudPages();
  RegisterSummaryPages();

  CInterDialog host;
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
