// The live preview as a person sees it: opened from the camera page's preview icon against the simulated
// recorder and cameras, laid over the dimmed page.
#include <QTest>

#include "PopupWatch.h"
#include "SimProcess.h"
#include "VeiledShot.h"
#include "WizardTestSupport.h"
#include "app/InterDialog.h"
#include "app/PageRegistry.h"
#include "pages/cameras/CameraPages.h"
#include "pages/cameras/CameraSearchDlg.h"
#include "pages/preview/PreviewPage.h"
#include "platform/Messages.h"
#include "ui/Buttons.h"
#include "pages/cameras/CamListCtrl.h"
#include "ui/Overlay.h"

using namespace vrx;

class PreviewScreenshotTest : public QObject {
  Q_OBJECT
 private slots:
  void previewOverTheCameraPage() {
    test::SimProcess sim("default.json");
    QVERIFY2(sim.ready(), sim.error().c_str());
    ClearPageRegistry();
    RegisterCameraPages();
    RegisterPreviewOverlay();
    CInterDialog host;
    host.SetRecorderIp("127.0.10.1");
    host.SetAdminUser("admin");
    host.SetAdminPassword(net::Secret());
    host.show();
    host.ShowPage(kPageCameraSearch);
    auto* page = qobject_cast<CCameraSearchDlg*>(host.currentPage());
    QVERIFY(page);
    CCamListCtrl* list = page->list();
    // A row whose password the wizard knows carries the preview icon.
    int row = -1;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
          for (int r = 0; r < list->rowCount(); ++r)
            if (list->passwordKnown(r)) return (row = r) >= 0;
          return false;
        }(),
        30000);
    QImage shot;
    test::WhenShown<CPreviewPage>([&](CPreviewPage* popup) {
      QTRY_VERIFY_WITH_TIMEOUT(popup->preview()->picturesReceived() >= 1, 10000);
      shot = test::Veiled(page, ui::CTransparentPage::kOpacity, popup);
      popup->closeButton()->click();
    });
    QTest::mouseClick(list, Qt::LeftButton, {}, list->PreviewIconRect(row).center());
    QTRY_VERIFY_WITH_TIMEOUT(!shot.isNull(), 15000);
    QVERIFY(test::ColourCount(shot) > 20);
    QVERIFY(shot.save(test::ScreenshotDir() + "/preview-over-camera-page.png"));
  }
};

QTEST_MAIN(PreviewScreenshotTest)
#include "PreviewScreenshotTest.moc"
