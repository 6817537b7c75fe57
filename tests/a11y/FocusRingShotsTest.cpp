// The keyboard focus ring of every control on the camera, cloud and summary pages, of the welcome page's
// language box after a choice and of the title-bar close mark, as pictures and as numbers:
// each focused control is grabbed with what surrounds it (in English and in Traditional Chinese) into
// $VRX_BUILD_DIR/screenshots/focus_<control>_<language>.png, and the ring's contrast with the pixels just
// outside it is measured from those pixels. A ring is found by its colour; the smallest contrast along its
// straight edges must be 3:1 at least. The ratios go to $VRX_BUILD_DIR/screenshots/focus_rings.txt.
#include <QFile>
#include <QPainter>
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "CameraPageFixture.h"
#include "KelvaroPageFixture.h"
#include "WizardTestSupport.h"
#include "pages/intro/IntroPages.h"
#include "pages/summary/SummaryDlg.h"
#include "ui/ComboBox.h"
#include "ui/Palette.h"
#include "ui/SkinBase.h"

namespace {

using namespace vrx;

double Channel(int c) {
  const double v = c / 255.0;
  return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}
double Luminance(QRgb p) { return 0.2126 * Channel(qRed(p)) + 0.7152 * Channel(qGreen(p)) + 0.0722 * Channel(qBlue(p)); }
double Contrast(QRgb a, QRgb b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct RingMeasure {
  QRect ring;            // the ring's outer edge in the picture; empty when no ring was found
  double lowest = 0;     // the smallest contrast with a pixel just outside the straight edges
  double median = 0;
};

// Finds the ring by its colour and compares each pixel of its straight outer edge with its outward neighbour.
RingMeasure MeasureRing(const QImage& shot) {
  const QImage img = shot.convertToFormat(QImage::Format_RGB32);
  const QRgb ring = ui::palette::kFocusRing.rgb();
  QRect box;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if ((img.pixel(x, y) & 0xFFFFFF) == (ring & 0xFFFFFF)) box |= QRect(x, y, 1, 1);
  RingMeasure m;
  m.ring = box;
  if (box.isEmpty()) return m;
  std::vector<double> ratios;
  constexpr int kCorner = 6;  // the rounded corners are left out
  auto sample = [&](int x, int y, int dx, int dy) {
    const QPoint out(x + dx, y + dy);
    if (!img.rect().contains(out) || (img.pixel(x, y) & 0xFFFFFF) != (ring & 0xFFFFFF)) return;
    ratios.push_back(Contrast(img.pixel(x, y), img.pixel(out)));
  };
  for (int x = box.left() + kCorner; x <= box.right() - kCorner; ++x) {
    sample(x, box.top(), 0, -1);
    sample(x, box.bottom(), 0, 1);
  }
  for (int y = box.top() + kCorner; y <= box.bottom() - kCorner; ++y) {
    sample(box.left(), y, -1, 0);
    sample(box.right(), y, 1, 0);
  }
  if (ratios.empty()) return m;
  std::sort(ratios.begin(), ratios.end());
  m.lowest = ratios.front();
  m.median = ratios[ratios.size() / 2];
  return m;
}

// The grab of window with the focused control and a margin of what lies around it.
QImage AroundFocus(QWidget* window, QWidget* control, const QRect& inControl, int margin = 24) {
  const QImage whole = window->grab().toImage();
  const QRect r(control->mapTo(window, inControl.topLeft()), inControl.size());
  return whole.copy(r.adjusted(-margin, -margin, margin, margin) & whole.rect());
}

QStringList& Lines() {
  static QStringList lines;
  return lines;
}

// Saves the shot, measures its ring and checks it.
void ShootAndMeasure(const QString& control, const QImage& shot) {
  const QString lang = QString::fromLatin1(QTest::currentDataTag());
  const QString path = vrx::test::ScreenshotDir() + "/focus_" + control + "_" + lang + ".png";
  QVERIFY(shot.save(path));
  const RingMeasure m = MeasureRing(shot);
  Lines() << QStringLiteral("%1 %2: lowest %3:1, median %4:1  %5")
                 .arg(control, lang)
                 .arg(m.lowest, 0, 'f', 2)
                 .arg(m.median, 0, 'f', 2)
                 .arg(path);
  QVERIFY2(!m.ring.isEmpty(), qPrintable("no focus ring on " + control));
  QVERIFY2(m.lowest >= 3.0, qPrintable(Lines().last()));
}

// The grab of window laid on a black desktop (the darkest a desktop gets), with the control and a margin of what
// lies around it: a ring on the window's outer pixels is measured against the desktop.
QImage OnBlackDesktop(QWidget* window, QWidget* control, int margin = 24) {
  const QImage whole = window->grab().toImage();
  QImage desktop(whole.size() + QSize(2 * margin, 2 * margin), QImage::Format_RGB32);
  desktop.fill(Qt::black);
  {
    QPainter p(&desktop);
    p.drawImage(margin, margin, whole);
  }
  const QRect r(control->mapTo(window, QPoint(0, 0)) + QPoint(margin, margin), control->size());
  return desktop.copy(r.adjusted(-margin, -margin, margin, margin) & desktop.rect());
}

// Focus as the keyboard gives it.
void TabFocus(QWidget* w) {
  w->window()->activateWindow();
  QApplication::setActiveWindow(w->window());
  w->setFocus(Qt::TabFocusReason);
  QTRY_VERIFY(w->hasFocus());
}

}  // namespace

class FocusRingShotsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QFETCH(int, language);
    vrx::test::UseLanguage(language);
  }
  void cleanup() { vrx::test::UseLanguage(0); }
  void cleanupTestCase() {
    QFile f(vrx::test::ScreenshotDir() + "/focus_rings.txt");
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Text));
    f.write(Lines().join('\n').toUtf8() + "\n");
  }

  void cameraPage_data() { Languages(); }
  // The first row after the scan, then the password popup: its field, its close "X" and OK.
  void cameraPage() {
    camtest::CameraPageRig rig;
    camtest::OpenCameraPage(rig, {{80, "HVC-2230", "door4321", "", ""}, {81, "HVC-1120", "pass1234", "admin", "pass1234"}});
    CCamListCtrl* list = rig.page->list();
    QTRY_VERIFY(list->hasFocus());  // the scan's end puts the keyboard on the first row
    const QRect band(0, list->CellRect(0, 0).y(), list->width() - ui::CListCtrlVScrollbar::kWidth, list->rowHeight());
    ShootAndMeasure("row", AroundFocus(rig.page, list, band));

    bool shot = false;
    camtest::WhenShown<CCameraPwdPage>([&shot](CCameraPwdPage* popup) {
      QTRY_VERIFY(popup->passwordEdit()->hasFocus());
      ShootAndMeasure("popup_field", AroundFocus(popup, popup->passwordEdit(), popup->passwordEdit()->rect()));
      TabFocus(popup->closeButton());
      ShootAndMeasure("close_x", AroundFocus(popup, popup->closeButton(), popup->closeButton()->rect()));
      TabFocus(popup->okButton());
      ShootAndMeasure("ok", AroundFocus(popup, popup->okButton(), popup->okButton()->rect()));
      shot = true;
      popup->closeButton()->click();
    });
    camtest::ClickTick(rig.page, 0);
    QVERIFY(shot);
    rig.Close();
  }

  void cloudPage_data() { Languages(); }
  // A choice of the radio group and the terms box.
  void cloudPage() {
    cloudtest::CloudPageRig rig;
    cloudtest::OpenCloudPage(rig);
    CKelvaroServiceDlg* page = rig.page;
    TabFocus(page->choiceButton(kelvaro::kSignUp));
    ShootAndMeasure("cloud_choice", AroundFocus(page, page->choiceButton(kelvaro::kSignUp),
                                                page->choiceButton(kelvaro::kSignUp)->rect()));
    cloudtest::Choose(page, kelvaro::kSignUp);
    TabFocus(page->termsBox());
    ShootAndMeasure("terms", AroundFocus(page, page->termsBox(), page->termsBox()->rect()));
  }

  void welcomePage_data() { Languages(); }
  // The language box keeps its ring after a choice made in its list with the keyboard; the title-bar close
  // mark's ring lies inside the window, measured against a black desktop.
  void welcomePage() {
    CInterDialog host;
    ClearPageRegistry();
    RegisterIntroPages();
    host.show();
    host.ShowPage(kPageHome);
    auto* page = qobject_cast<CHomeDlg*>(host.currentPage());
    QVERIFY(page);
    ui::CAvrelComboBox* box = page->languageList();
    TabFocus(box);
    QTest::keyClick(box, Qt::Key_Space);
    QTRY_VERIFY(box->dropDown() && box->dropDown()->isVisible());
    QTest::keyClick(box->dropDown(), Qt::Key_Space);  // the language already chosen, chosen again
    QTRY_VERIFY(!box->dropDown());
    QTRY_VERIFY(box->hasFocus());
    ShootAndMeasure("language_box_after_choice", AroundFocus(page, box, box->rect()));

    QWidget* close = page->button(CWizardPage::kCmdClose);
    TabFocus(close);
    ShootAndMeasure("title_close", OnBlackDesktop(&host, close));
  }

  void summaryPage_data() { Languages(); }
  void summaryPage() {
    CInterDialog host;
    host.SetRecorderIp(QStringLiteral("127.0.16.1"));
    ClearPageRegistry();
    RegisterSummaryPages();
    host.show();
    host.ShowPage(kPageSummary);
    auto* page = qobject_cast<CSummaryDlg*>(host.currentPage());
    QVERIFY(page);
    QWidget* finish = page->button(CSummaryDlg::kCmdFinish);
    TabFocus(finish);
    ShootAndMeasure("finish", AroundFocus(page, finish, finish->rect()));
  }

 private:
  static void Languages() {
    QTest::addColumn<int>("language");
    QTest::newRow("en") << 0;
    QTest::newRow("zh_TW") << 4;
  }
};

QTEST_MAIN(FocusRingShotsTest)
#include "FocusRingShotsTest.moc"
