// Renders the camera page into $VRX_BUILD_DIR/screenshots/ in English, Russian and Simplified Chinese: the
// list with a row that is not usable, a scan running, an empty list, four ticked with the rest grey, both
// password popups (typed into, then showing an error), the row menu, and the install help. The checks only
// guard against blank pictures.
#include <QMenu>
#include <QPainter>
#include <QtTest>
#include <memory>

#include "CameraPageFixture.h"
#include "WizardTestSupport.h"
#include "i18n/LangString.h"
#include "ui/Labels.h"
#include "ui/Overlay.h"

using namespace camtest;

namespace {

void Save(const QImage& shot, const QString& name) {
  QSet<QRgb> colours;
  for (int y = 0; y < shot.height(); y += 4)
    for (int x = 0; x < shot.width(); x += 4) colours.insert(shot.pixel(x, y));
  QVERIFY(colours.size() > 20);
  QVERIFY(shot.save(vrx::test::ScreenshotDir() + "/" + name + ".png"));
}

// A popup over what it covers, under the popup veil (black at 153/255).
QImage UnderVeil(const QImage& under, QPoint underOrigin, QWidget* popup) {
  QImage shot = under.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QPainter p(&shot);
  p.fillRect(shot.rect(), QColor(0, 0, 0, ui::CTransparentPage::kOpacity));
  p.drawImage(popup->mapToGlobal(QPoint(0, 0)) - underOrigin, popup->grab().toImage());
  return shot;
}

// Types a wrong try into the next password popup and saves it with its error popup on top.
void ShootPopupError(const QString& name, const QString& password, const QString& confirm) {
  WhenShown<CCameraPwdPage>([name, password, confirm](CCameraPwdPage* popup) {
    popup->passwordEdit()->setText(password);
    if (popup->confirmEdit()) popup->confirmEdit()->setText(confirm);
    WhenShown<ui::CErrorPage>([name, popup](ui::CErrorPage* error) {
      Save(UnderVeil(popup->grab().toImage(), popup->mapToGlobal(QPoint(0, 0)), error), name);
      error->closeButton()->click();
      QTimer::singleShot(0, popup, [popup] { popup->closeButton()->click(); });
    });
    Save(popup->grab().toImage(), QString(name).replace("_error_", "_popup_"));
    popup->okButton()->click();
  });
}

}  // namespace

class CameraScreenshotTest : public QObject {
  Q_OBJECT
  CameraPageRig rig_;

 private slots:
  void cleanup() {
    rig_.Close();
    currentLanguage = 0;
    LoadLanguageFile(0);
  }

  void pageAndPopups_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("en") << 0;
    QTest::newRow("ru") << 2;
    QTest::newRow("zh_CN") << 5;
  }
  void pageAndPopups() {
    QFETCH(int, language);
    currentLanguage = language;
    QVERIFY(LoadLanguageFile(language));
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    std::vector<Cam> cams{{50, "HVC-2230", "door4321", "", ""}, {51, "HVC-1120", "", "admin", "", 1, false,
                                                                R"("auth": "basic")"}};
    for (int i = 0; i < 5; ++i) cams.push_back({52 + i, "HVC-0810", "pass1234", "admin", "pass1234"});
    // One more row whose address is no device address: shown grey, never usable.
    OpenCameraPage(rig_, cams, R"(, "listed_lines": ["0;10.0.0.5@127.0.0.99;001D4FB01699;Halvik;HVC-2230;admin;pw1234;;1"])",
                   int(cams.size()) + 1);
    CCameraSearchDlg* page = rig_.page;
    QVERIFY(page);
    QVERIFY(!page->list()->usable(int(cams.size())));
    page->list()->ScrollTo(page->list()->rowCount());
    Save(page->grab().toImage(), "camera_list_unusable_row_" + tag);
    page->list()->ScrollTo(0);
    Save(page->grab().toImage(), "camera_list_" + tag);

    page->rescanButton()->click();
    QTRY_VERIFY(page->busyAnimation()->isVisible());
    QTest::qWait(250);
    Save(page->grab().toImage(), "camera_scanning_" + tag);
    QTRY_VERIFY_WITH_TIMEOUT(page->scansEnded() == 2, 15000);

    ShootPopupError("camera_enter_error_" + tag, "wrong", "");
    ClickTick(page, 0);
    ShootPopupError("camera_create_error_" + tag, "abc", "abc");
    ClickTick(page, 1);

    for (int row = 2; row < 6; ++row) ClickTick(page, row);
    QCOMPARE(page->selection().ticked(), 4);
    Save(page->grab().toImage(), "camera_four_ticked_" + tag);

    // The row menu, as the Menu key opens it on a row with a known password; Escape closes it.
    bool menuShown = false;
    WhenShown<QMenu>([page, tag, &menuShown](QMenu* menu) {
      QImage shot = page->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
      QPainter(&shot).drawImage(menu->pos() - page->mapToGlobal(QPoint(0, 0)), menu->grab().toImage());
      Save(shot, "camera_row_menu_" + tag);
      QTest::keyClick(menu, Qt::Key_Escape);
      menuShown = true;
    });
    page->list()->setFocus();
    while (page->list()->currentRow() < 2) QTest::keyClick(page->list(), Qt::Key_Down);
    QTest::keyClick(page->list(), Qt::Key_Menu);
    QVERIFY(menuShown);

    bool helpShown = false;
    WhenShown<CInstallCamPage>([page, tag, &helpShown](CInstallCamPage* help) {
      Save(UnderVeil(page->grab().toImage(), page->mapToGlobal(QPoint(0, 0)), help), "camera_install_help_" + tag);
      help->closeButton()->click();
      helpShown = true;
    });
    PostMessage(page->handle(), WM_WIZ_LINK, ui::kOverlayInstallCamera);
    QTRY_VERIFY(helpShown);

    OpenCameraPage(rig_, {});
    page = rig_.page;
    QVERIFY(page);
    QVERIFY(page->noCameraLabel()->isVisible());
    Save(page->grab().toImage(), "camera_empty_" + tag);
  }
};

QTEST_MAIN(CameraScreenshotTest)
#include "CameraScreenshotTest.moc"
