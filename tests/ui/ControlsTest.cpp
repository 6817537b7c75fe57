// Picture buttons, links and the page indicator: what a user sees and what reaches the page.
#include <QAccessible>
#include <QApplication>
#include <QEnterEvent>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>
#include <QSignalSpy>
#include <QTest>
#include <vector>

#include "platform/MessagePort.h"
#include "PageStub.h"
#include "ui/Buttons.h"
#include "ui/Labels.h"
#include "ui/Links.h"
#include "ui/Overlay.h"

using namespace vrx;
using namespace vrx::ui;

using vrx::test::PageStub;

namespace {


void Enter(QWidget* w) {
  QEnterEvent e(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), w->mapToGlobal(QPointF(5, 5)));
  QCoreApplication::sendEvent(w, &e);
}

void Leave(QWidget* w) {
  QEvent e(QEvent::Leave);
  QCoreApplication::sendEvent(w, &e);
}

}  // namespace

class ControlsTest : public QObject {
  Q_OBJECT
 private slots:
  void buttonLook_data();
  void buttonLook();
  void hoverThenLeaveReturnsToNormal();
  void backgroundOnlyIgnoresHover();
  void disabledAndShownPressed();
  void clickAndSpaceSendCommand();
  void toggleAndRadioPostToPage();
  void linksPostTheirKind();
  void fullPageIndicatorIsAllGrey();
  void loadingStopsAfterLastFrame();
  void chineseFallsBackToCjkFace_data();
  void chineseFallsBackToCjkFace();
  void keyboardReachesEveryControlAndPageGetsCommands();
  void boldRunsRenderBold();
};

void ControlsTest::buttonLook_data() {
  QTest::addColumn<bool>("disabled");
  QTest::addColumn<bool>("backgroundOnly");
  QTest::addColumn<bool>("pressed");
  QTest::addColumn<bool>("hovered");
  QTest::addColumn<int>("state");
  QTest::addColumn<bool>("picture");
  QTest::newRow("normal") << false << false << false << false << 1 << true;
  QTest::newRow("hovered") << false << false << false << true << 3 << true;
  QTest::newRow("pressed wins over hover") << false << false << true << true << 2 << true;
  QTest::newRow("background only: pressed slot, no picture") << false << true << false << true << 2 << false;
  QTest::newRow("disabled wins over everything") << true << true << true << true << 0 << true;
}

void ControlsTest::buttonLook() {
  QFETCH(bool, disabled);
  QFETCH(bool, backgroundOnly);
  QFETCH(bool, pressed);
  QFETCH(bool, hovered);
  const ButtonLook look = ChooseButtonLook({disabled, backgroundOnly, pressed, hovered});
  QCOMPARE(look.state, [&] { QFETCH(int, state); return state; }());
  QCOMPARE(look.drawPicture, [&] { QFETCH(bool, picture); return picture; }());
}

void ControlsTest::hoverThenLeaveReturnsToNormal() {
  CAvrelButton button;
  button.resize(100, 40);
  button.show();
  Enter(&button);
  QCOMPARE(button.currentLook().state, int(kStateHovered));
  // A quick pass: the leave arrives right after the hover.
  Leave(&button);
  QVERIFY(!button.hovered());
  QCOMPARE(button.currentLook().state, int(kStateNormal));
  button.grab();  // paints
  QCOMPARE(button.drawnState(), int(kStateNormal));
}

void ControlsTest::backgroundOnlyIgnoresHover() {
  CAvrelButton button;
  button.resize(100, 40);
  button.setBackgroundOnly(true);
  Enter(&button);
  QVERIFY(!button.currentLook().drawPicture);
  button.setDisabledLook(true);
  QCOMPARE(button.currentLook().state, int(kStateDisabled));
}

void ControlsTest::disabledAndShownPressed() {
  // "Disable Next and show it pressed" while a worker runs: the pressed picture, and clicks do nothing.
  CAvrelButton button(nullptr, 1002);
  button.resize(100, 40);
  button.show();
  QSignalSpy spy(&button, &CAvrelButton::command);
  button.setEnabled(false);
  button.setPressedLook(true);
  QCOMPARE(button.currentLook().state, int(kStatePressed));
  QTest::mouseClick(&button, Qt::LeftButton);
  QCOMPARE(spy.count(), 0);
  button.setEnabled(true);
  button.setPressedLook(false);
  QCOMPARE(button.currentLook().state, int(kStateNormal));
}

void ControlsTest::clickAndSpaceSendCommand() {
  CAvrelButton button(nullptr, 1002);
  button.resize(100, 40);
  button.show();
  QSignalSpy spy(&button, &CAvrelButton::command);
  QTest::mouseClick(&button, Qt::LeftButton);
  QTest::keyClick(&button, Qt::Key_Space);
  QTest::keyClick(&button, Qt::Key_Return);  // Enter stays with the dialog
  QCOMPARE(spy.count(), 2);
  QCOMPARE(spy.at(0).at(0).toInt(), 1002);
  button.setDisabledLook(true);
  QTest::mouseClick(&button, Qt::LeftButton);
  QCOMPARE(spy.count(), 2);
}

void ControlsTest::toggleAndRadioPostToPage() {
  PageStub page{QSize(400, 300)};
  auto* toggle = new CAvrelButton(&page.widget, 10);
  toggle->setToggleMode(true, true);
  auto* radio = new CAvrelButton(&page.widget, 11);
  radio->setGroupValue(7);
  for (auto* b : {toggle, radio}) b->resize(50, 30);
  QTest::mouseClick(toggle, Qt::LeftButton);
  QTest::mouseClick(radio, Qt::LeftButton);
  QTest::mouseClick(radio, Qt::LeftButton);  // already selected: no second message
  QCoreApplication::processEvents();
  QVERIFY(toggle->selected());
  QVERIFY(radio->selected());
  QCOMPARE(page.received.size(), size_t(2));
  QCOMPARE(page.received[0], std::make_tuple(WM_WIZ_TOGGLE, WPARAM(4), LPARAM(0)));
  QCOMPARE(page.received[1], std::make_tuple(WM_WIZ_TOGGLE, WPARAM(7), LPARAM(0)));
}

void ControlsTest::linksPostTheirKind() {
  PageStub page{QSize(400, 300)};
  auto* link = new CLinkStatic(&page.widget, 1201);
  link->setText(QStringLiteral("Can not find your NVR"));
  link->setLinkKind(kOverlayNoDevice);
  link->setGeometry(0, 0, 300, 30);
  auto* link2 = new CLinkStatic2(&page.widget, 1202);
  link2->setText(QStringLiteral("short"));
  link2->setLinkKind(kOverlayInstallCamera);
  link2->setGeometry(0, 40, 300, 30);
  auto* image = new CImageButton(&page.widget, 1203);
  image->setLinkKind(kOverlayAgreement);
  image->setGeometry(0, 80, 30, 30);
  QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(280, 10));      // anywhere on a CLinkStatic
  QTest::mouseClick(link2, Qt::LeftButton, {}, QPoint(280, 10));     // past the text of a CLinkStatic2: nothing
  QTest::mouseClick(link2, Qt::LeftButton, {}, QPoint(5, 8));        // on its text
  QTest::keyClick(image, Qt::Key_Space);
  QCoreApplication::processEvents();
  QCOMPARE(page.received.size(), size_t(3));
  QCOMPARE(page.received[0], std::make_tuple(WM_WIZ_LINK, WPARAM(kOverlayNoDevice), LPARAM(0)));
  QCOMPARE(page.received[1], std::make_tuple(WM_WIZ_LINK, WPARAM(kOverlayInstallCamera), LPARAM(0)));
  QCOMPARE(page.received[2], std::make_tuple(WM_WIZ_LINK, WPARAM(kOverlayAgreement), LPARAM(0)));
}

void ControlsTest::fullPageIndicatorIsAllGrey() {
  CPageIndicator indicator;
  indicator.setTotal(11);
  indicator.setCurrent(11);
  indicator.resize(indicator.sizeHint());
  const QImage image = indicator.grab().toImage();
  for (int i = 0; i < 11; ++i) {
    QVERIFY(indicator.DotFilled(i));
    const QPoint centre = indicator.DotRect(i).center().toPoint();
    QCOMPARE(QColor(image.pixel(centre)), QColor(0xC4, 0xC4, 0xC4));
  }
  QCOMPARE(indicator.DotRect(10).left(), 10.0 * (6 + 12));
  indicator.setCurrent(3);
  const QImage partly = indicator.grab().toImage();
  QCOMPARE(QColor(partly.pixel(indicator.DotRect(3).center().toPoint())), QColor(Qt::white));
}

void ControlsTest::loadingStopsAfterLastFrame() {
  CLoadingStatic loading;
  loading.setLastFrame(2);
  loading.Start();
  QVERIFY(loading.running());
  QTRY_VERIFY_WITH_TIMEOUT(!loading.running(), 3000);
  QCOMPARE(loading.frameIndex(), 2);
}

void ControlsTest::chineseFallsBackToCjkFace_data() {
  QTest::addColumn<QString>("text");
  QTest::newRow("traditional") << QStringLiteral("繁體中文");
  QTest::newRow("simplified") << QStringLiteral("简体中文");
}

void ControlsTest::chineseFallsBackToCjkFace() {
  QFETCH(QString, text);
  for (Face face : {Face::Verdana, Face::Arial}) {
    QTextLayout layout(text, UiFont(face, 14));
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const auto runs = layout.glyphRuns();
    QVERIFY(!runs.isEmpty());
    for (const QGlyphRun& run : runs) {
      QVERIFY2(run.rawFont().familyName().contains(QLatin1String("CJK")), qPrintable(run.rawFont().familyName()));
      for (quint32 glyph : run.glyphIndexes()) QVERIFY(glyph != 0);  // 0 is the missing-glyph box
    }
  }
}

void ControlsTest::keyboardReachesEveryControlAndPageGetsCommands() {
  PageStub page{QSize(400, 300)};
  auto* next = new CAvrelButton4(&page.widget, 1002);
  next->setText(QStringLiteral("NEXT"));
  auto* link = new CLinkStatic(&page.widget, 1201);
  link->setText(QStringLiteral("Can not find your NVR"));
  auto* back = new CAvrelButton4(&page.widget, 1003);
  auto* label = new CAvrelStatic(&page.widget, 1029);
  label->setText(QStringLiteral("Add your cameras"));
  std::vector<int> commands;
  auto record = [&commands](int id) { commands.push_back(id); };
  for (CAvrelButton* b : {static_cast<CAvrelButton*>(next), static_cast<CAvrelButton*>(back)})
    QObject::connect(b, &CAvrelButton::command, record);
  QObject::connect(link, &CLinkStatic::command, record);
  page.widget.show();
  QApplication::setActiveWindow(&page.widget);
  next->setFocus(Qt::TabFocusReason);
  QTest::keyClick(next, Qt::Key_Space);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), link);
  QTest::keyClick(link, Qt::Key_Space);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), back);  // the label is skipped
  QTest::keyClick(back, Qt::Key_Space);
  QCOMPARE(commands, (std::vector<int>{1002, 1201, 1003}));

  // Screen readers hear what each control is.
  auto role = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->role(); };
  auto name = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
  QCOMPARE(role(next), QAccessible::Button);
  QCOMPARE(name(next), QStringLiteral("NEXT"));
  QCOMPARE(role(link), QAccessible::Link);
  QCOMPARE(name(link), QStringLiteral("Can not find your NVR"));
  QCOMPARE(role(label), QAccessible::StaticText);
}

void ControlsTest::boldRunsRenderBold() {
  // The same words drawn plain and with markup: the bold run makes the text wider and darker, the markers
  // never show.
  auto render = [](const QString& markup) {
    CBaseStatic label;
    label.setTextColor(Qt::black);
    label.setText(markup);
    label.resize(400, 40);
    const QImage image = label.grab().toImage();
    int inked = 0, right = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 128) {
          ++inked;
          right = qMax(right, x);
        }
    return std::make_pair(inked, right);
  };
  const auto plain = render(QStringLiteral("Then, click \"Next\" to format"));
  const auto bold = render(QStringLiteral("Then, click <br>\"Next\"</br> to format"));
  QVERIFY(bold.first > plain.first);
  QVERIFY(bold.second > plain.second);
  QVERIFY(bold.second < plain.second + 30);  // no "<br>" text drawn
}

QTEST_MAIN(ControlsTest)
#include "ControlsTest.moc"
