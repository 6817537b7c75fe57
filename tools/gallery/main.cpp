// Renders every skinned control in each of its states, and every toolkit popup over the dimmed page, to PNG
// files in the folder given on the command line (offscreen platform). Pictures the artwork does not have yet are
// drawn here as plain stand-ins so the layout can be judged; real pictures replace them as they land.
#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

#include "ui/Alerts.h"
#include "ui/Buttons.h"
#include "ui/ComboBox.h"
#include "ui/EditCtrl.h"
#include "ui/Labels.h"
#include "ui/Links.h"
#include "pages/cameras/CamListCtrl.h"
#include "ui/Palette.h"
#include "ui/Pictures.h"
#include "ui/Waiting.h"

using namespace vrx::ui;
using vrx::CCamListCtrl;

namespace {

QDir g_out;

QPixmap Canvas(QSize size, const std::function<void(QPainter&)>& draw) {
  QPixmap pm(size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  draw(p);
  return pm;
}

QPixmap RoundedButton(QColor fill) {
  return Canvas({118, 43}, [fill](QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, 117, 42), 4, 4);
  });
}

// Stand-ins for the pictures the artwork provides.
void ProvideStandIns() {
  ProvideMissingPng(3042, RoundedButton(QColor(0xC4, 0xC4, 0xC4)));       // disabled
  ProvideMissingPng(3043, RoundedButton(palette::kAccent));                // normal
  ProvideMissingPng(3044, RoundedButton(palette::kAccent.darker(125)));    // pressed
  ProvideMissingPng(3045, RoundedButton(palette::kAccent.lighter(115)));   // hovered
  for (int id = 4015; id <= 4018; ++id) ProvideMissingPng(id, RoundedButton(id == 4015 ? QColor(0xC4, 0xC4, 0xC4) : palette::kAccent));
  ProvideMissingPng(3055, Canvas({16, 16}, [](QPainter& p) {
    p.setPen(QPen(Qt::white, 2));
    p.drawArc(QRectF(2, 2, 12, 12), 30 * 16, 300 * 16);
  }));
  ProvideMissingPng(3060, Canvas({14, 14}, [](QPainter& p) {
    p.setPen(QPen(QColor(0x88, 0x88, 0x88), 1.6));
    p.drawLine(QPointF(2, 2), QPointF(12, 12));
    p.drawLine(QPointF(12, 2), QPointF(2, 12));
  }));
  ProvideMissingPng(3059, Canvas({36, 36}, [](QPainter& p) {
    QPainterPath tri;
    tri.moveTo(18, 3);
    tri.lineTo(34, 32);
    tri.lineTo(2, 32);
    tri.closeSubpath();
    p.fillPath(tri, QColor(0xF0, 0xA0, 0x20));
    p.setPen(QPen(Qt::white, 3));
    p.drawLine(QPointF(18, 13), QPointF(18, 22));
    p.drawPoint(QPointF(18, 27));
  }));
  auto tick = [](bool on) {
    return Canvas({30, 25}, [on](QPainter& p) {
      p.setPen(QPen(on ? palette::kAccent : QColor(0xB5, 0xB5, 0xB5), 1.5));
      p.setBrush(on ? palette::kAccent : QColor(Qt::white));
      p.drawRoundedRect(QRectF(7.5, 4.5, 16, 16), 3, 3);
      if (on) {
        p.setPen(QPen(Qt::white, 2));
        p.drawPolyline(QPolygonF({QPointF(11, 12.5), QPointF(14.5, 16), QPointF(20, 9)}));
      }
    });
  };
  ProvideMissingPng(4010, tick(false));
  ProvideMissingPng(4009, tick(true));
  ProvideMissingPng(4011, Canvas({20, 15}, [](QPainter& p) {
    p.setBrush(palette::kAccent);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 2, 14, 11), 2, 2);
    QPainterPath lens;
    lens.moveTo(14, 7.5);
    lens.lineTo(20, 3);
    lens.lineTo(20, 12);
    lens.closeSubpath();
    p.fillPath(lens, palette::kAccent);
  }));
  ProvideMissingPng(4012, Canvas({18, 18}, [](QPainter& p) {
    p.setBrush(palette::kAccent);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(0, 0, 18, 18));
    p.setPen(Qt::white);
    QFont f = UiFont(Face::Verdana, 13, true);
    p.setFont(f);
    p.drawText(QRectF(0, 0, 18, 18), Qt::AlignCenter, QStringLiteral("?"));
  }));
  ProvideMissingPng(4083, Canvas({22, 22}, [](QPainter& p) {
    p.setPen(QPen(Qt::white, 1.5));
    p.drawEllipse(QRectF(1, 1, 20, 20));
    p.setFont(UiFont(Face::Verdana, 14, true));
    p.drawText(QRectF(0, 0, 22, 22), Qt::AlignCenter, QStringLiteral("?"));
  }));
  ProvideMissingPng(3052, Canvas({100, 32}, [](QPainter& p) { p.fillRect(QRect(0, 0, 100, 32), palette::kAccent); }));
  ProvideMissingPng(3053, Canvas({14, 32}, [](QPainter& p) {
    p.setBrush(QColor(0xC4, 0xC4, 0xC4));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(3, 0, 8, 32), 4, 4);
  }));
  auto spinner = [](int frame, int side) {
    return Canvas({side, side}, [frame, side](QPainter& p) {
      p.translate(side / 2.0, side / 2.0);
      for (int i = 0; i < 8; ++i) {
        const int age = (frame - i + 8) % 8;
        QColor c = Qt::white;
        c.setAlphaF(1.0 - age * 0.11);
        p.setBrush(c);
        p.setPen(Qt::NoPen);
        p.save();
        p.rotate(i * 45);
        p.drawRoundedRect(QRectF(-side / 16.0, -side / 2.0 + 2, side / 8.0, side / 4.0), 3, 3);
        p.restore();
      }
    });
  };
  for (int i = 0; i < 8; ++i) ProvideMissingPng(4060 + i, spinner(i, 64));
  for (int i = 0; i < 8; ++i)
    ProvideMissingPng(4074 + i, Canvas({160, 160}, [i](QPainter& p) {
      p.translate(80, 80);
      p.rotate(i * 45);
      p.setPen(QPen(palette::kAccent, 8));
      p.drawEllipse(QPointF(-8, -8), 34, 34);
      p.drawLine(QPointF(18, 18), QPointF(48, 48));
    }));
}

// The page background: the real bitmap once it exists, else a light stand-in.
QPixmap PageBackground(QSize size) {
  const QPixmap real = LoadBitmap(3001);
  if (!real.isNull()) return real.scaled(size);
  return Canvas(size, [size](QPainter& p) {
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(0xFA, 0xFB, 0xFC));
    g.setColorAt(1, QColor(0xEE, 0xF1, 0xF4));
    p.fillRect(QRect(QPoint(0, 0), size), g);
  });
}

// A scene: a page-sized widget with a background; controls are its children.
class Scene : public QWidget {
 public:
  explicit Scene(QSize size) {
    resize(size);
    background_ = PageBackground(size);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawPixmap(0, 0, background_);
  }

 private:
  QPixmap background_;
};

void Save(const QPixmap& pm, const QString& name) {
  const QString path = g_out.filePath(name + QStringLiteral(".png"));
  if (!pm.save(path)) std::fprintf(stderr, "could not write %s\n", qPrintable(path));
}

void Hover(QWidget* w) {
  QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QCoreApplication::sendEvent(w, &e);
}

CAvrelStatic* Caption(QWidget* parent, const QString& text, QPoint at) {
  auto* label = new CAvrelStatic(parent);
  label->setText(text);
  label->setTextSize(12);
  label->setTextColor(palette::kVersionGrey);
  label->setGeometry(at.x(), at.y(), 160, 18);
  return label;
}

void RenderButtons() {
  Scene scene({860, 220});
  const char* names[] = {"normal", "hovered", "pressed", "disabled", "background only"};
  for (int i = 0; i < 5; ++i) {
    auto* b = new CAvrelButton4(&scene, 1002);
    b->SetImages(3042, 3043, 3044, 3045);
    b->setText(QStringLiteral("NEXT   >"));
    b->setGeometry(30 + i * 160, 40, 118, 43);
    if (i == 1) Hover(b);
    if (i == 2) b->setDown(true);
    if (i == 3) b->setDisabledLook(true);
    if (i == 4) b->setBackgroundOnly(true);
    Caption(&scene, QString::fromLatin1(names[i]), {30 + i * 160, 16});
  }
  auto* focused = new CAvrelButton4(&scene, 1003);
  focused->SetImages(3042, 3043, 3044, 3045);
  focused->setText(QStringLiteral("<   BACK"));
  focused->setGeometry(430, 125, 118, 43);
  Caption(&scene, QStringLiteral("keyboard focus"), {430, 106});
  auto* rescan = new CIconButton(&scene, 1035);
  rescan->SetImages(4015, 4016, 4017, 4018);
  rescan->SetIcon(3055);
  rescan->setText(QStringLiteral("Rescan"));
  rescan->setGeometry(30, 130, rescan->MeasureText() + 41, 30);
  Caption(&scene, QStringLiteral("icon button"), {30, 106});
  auto* close = new CAvrelButton(&scene, 2);
  close->SetImages(3060, 3060, 3060, 3060);
  close->setGeometry(200, 138, 14, 14);
  Caption(&scene, QStringLiteral("close"), {190, 106});
  auto* toggle = new CAvrelButton3(&scene, 7);
  toggle->SetImages(3042, 3043, 3044, 3045);
  toggle->setText(QStringLiteral("selected"));
  toggle->setToggleMode(true);
  toggle->setSelected(true);
  toggle->setGeometry(270, 125, 118, 43);
  Caption(&scene, QStringLiteral("toggle, selected"), {270, 106});
  scene.show();
  QApplication::setActiveWindow(&scene);
  focused->setFocus(Qt::TabFocusReason);
  Save(scene.grab(), QStringLiteral("buttons"));
}

void RenderLabels() {
  Scene scene({860, 640});
  auto* title = new CAvrelStatic(&scene);
  title->setText(QStringLiteral("Select your NVR device"));
  title->setTextSize(32);
  title->setTextColor(palette::kAccent);
  title->setGeometry(72, 40, 606, 44);

  auto* body = new CBaseStatic2(&scene);
  body->setText(QStringLiteral("Select your NVR from the list, then click <br>\"Next\".</br> If you have multiple "
                               "NVRs, you can identify them by the MAC ID printed on the lable on the bottom of "
                               "the device."));
  body->setTextColor(palette::kBodyGrey);
  body->setGeometry(77, 96, 700, body->TextHeight(700));

  auto* marked = new CBaseStatic(&scene);
  marked->setPrefixMark(QStringLiteral("* "), QColor(220, 40, 40));
  marked->setText(QStringLiteral("Please make sure your computer is connected to the <br>same router</br> as the NVR."));
  marked->setTextColor(palette::kBodyDark);
  marked->setGeometry(77, 160, 700, marked->TextHeight(700));

  auto* note = new CBaseStatic(&scene);
  note->setCaption(QStringLiteral("Important:"), QColor(220, 40, 40));
  note->setText(QStringLiteral("Formatting will permanently erase all data on the mounted hard drive(s). Please do "
                               "not unplug the drive(s) without performing the correct eject procedure."));
  note->setTextColor(palette::kNoteGrey);
  note->setFill(palette::kNoteFill, 10);
  note->setGeometry(77, 200, 700, note->TextHeight(700));

  auto* chinese = new CBaseStatic(&scene);
  chinese->setEastAsianBreaking(true);
  chinese->setText(QStringLiteral("從清單中選擇您的 NVR，然後按一下<br>「下一步」</br>。如果您有多台 NVR，可以透過裝置底部標籤上的 MAC ID 來辨識。"));
  chinese->setTextColor(palette::kBodyGrey);
  chinese->setGeometry(77, 290, 420, chinese->TextHeight(420));

  auto* elided = new CAvrelStatic(&scene);
  elided->setText(QStringLiteral("A single-line label that is far too long for its box"));
  elided->setFontFace(Face::Tahoma);
  elided->setGeometry(540, 290, 240, 22);

  auto* link = new CLinkStatic(&scene, 1201);
  link->setText(QStringLiteral("Can not find your NVR"));
  link->SetIcon(4012);
  link->setGeometry(77, 370, 300, 22);
  auto* hyper = new CHyperLink(&scene, 1140);
  hyper->setText(QStringLiteral("Terms of Service"));
  hyper->setGeometry(400, 370, hyper->sizeHint().width(), 22);
  auto* hyperHot = new CHyperLink(&scene, 1141);
  hyperHot->setText(QStringLiteral("Terms of Service (hovered)"));
  hyperHot->setGeometry(560, 370, hyperHot->sizeHint().width(), 22);
  Hover(hyperHot);

  auto* error = new CErrorStatic(&scene);
  error->setTextColor(QColor(0xFF, 0x00, 0x00));
  error->setText(QStringLiteral("The two passwords do not match."));
  error->setGeometry(77, 410, 700, error->TextHeight(700));

  auto* frame = new CRoundBack(&scene);
  frame->setBorder(palette::kEditBorder, 1, 3);
  frame->setGeometry(77, 450, 160, 30);
  auto* edit = new CMyEditCtrl2(&scene, 5004);
  edit->setPasswordMode(true);
  edit->setText(QStringLiteral("secret12"));
  edit->setGeometry(82, 456, 150, 20);
  auto* frameError = new CRoundBack(&scene);
  frameError->setBorder(palette::kEditBorderError, 1, 3);
  frameError->setGeometry(257, 450, 160, 30);
  auto* plain = new CMyEditCtrl2(&scene, 5001);
  plain->setText(QStringLiteral("admin"));
  plain->setGeometry(262, 456, 150, 20);
  auto* rectStatic = new CRectStatic(&scene);
  rectStatic->setBorder(palette::kAccent, 1, 6);
  rectStatic->setGeometry(440, 446, 200, 38);

  for (int i = 0; i < 2; ++i) {
    auto* indicator = new CPageIndicator(&scene);
    indicator->setTotal(11);
    indicator->setCurrent(i == 0 ? 3 : 11);
    indicator->setGeometry(77 + i * 240, 510, indicator->sizeHint().width(), indicator->sizeHint().height());
  }
  auto* version = new CAvrelStatic(&scene);
  version->setText(QStringLiteral("V 2.03.00"));
  version->setTextColor(palette::kVersionGrey);
  version->setGeometry(770, 600, 90, 30);

  auto* loading = new CLoadingStatic(&scene, 1247);
  loading->setText(QStringLiteral("Searching device"));
  loading->setGeometry(620, 470, 160, 130);
  loading->Start();

  scene.show();
  Save(scene.grab(), QStringLiteral("labels"));
}

CCamListCtrl* CameraList(QWidget* parent, int rows, int ticked, bool scrolled) {
  auto* list = new CCamListCtrl(parent, 1030);
  const int widths[] = {86, 32, 32, 46, 47, 149, 26, 72, 176};
  const QString titles[] = {{}, {}, {}, QStringLiteral("No."), {}, QStringLiteral("Model Name "), {}, {},
                            QStringLiteral("IP Address  ")};
  for (int i = 0; i < 9; ++i) list->InsertColumn({titles[i], widths[i], i == 5 ? Qt::AlignLeft : Qt::AlignHCenter});
  list->header()->SetBackground(3052);
  list->scrollBar()->SetThumbImage(3053);
  list->setRowHeight(32);
  list->setGeometry(80, 60, 700, 32 + 6 * 32);
  for (int r = 0; r < rows; ++r) {
    const int row = list->InsertRow(r + 1);
    list->SetCellText(row, 5, QStringLiteral("HC-%1").arg(4100 + 10 * r));
    list->SetCellText(row, 8, QStringLiteral("127.0.0.%1").arg(20 + r));
    list->setPasswordKnown(row, r % 3 != 2);
    if (r < ticked) {
      list->TickRow(row);
      ++list->tickCount();
    }
  }
  if (scrolled) list->ScrollTo(2);
  return list;
}

void RenderLists() {
  for (int variant = 0; variant < 3; ++variant) {
    Scene scene({860, 320});
    const int rows[] = {4, 10, 10};
    const int ticked[] = {2, 4, 1};
    CameraList(&scene, rows[variant], ticked[variant], variant == 2);
    scene.show();
    const char* names[] = {"camlist_short", "camlist_four_ticked", "camlist_scrolled"};
    Save(scene.grab(), QString::fromLatin1(names[variant]));
  }

  // The recorder list's shared base: eight centred columns, a help icon after "Mac Address".
  Scene scene({860, 320});
  auto* list = new CSkinListCtrl(&scene, 1030);
  const int widths[] = {60, 40, 25, 40, 30, 200, 20, 210};
  const QString titles[] = {{}, {}, {}, QStringLiteral("No."), {}, QStringLiteral("IP Address"), {},
                            QStringLiteral("Mac Address")};
  for (int i = 0; i < 8; ++i) list->InsertColumn({titles[i], widths[i], Qt::AlignHCenter});
  list->header()->SetBackground(3052);
  list->header()->SetHelpIcon(7, 4083, 4);
  list->scrollBar()->SetThumbImage(3053);
  list->setTextColor(QColor(0x60, 0x60, 0x60));
  list->setRowHeight(44);
  list->setGeometry(80, 40, 688, 220);
  scene.show();
  Save(scene.grab(), QStringLiteral("nvrlist_base_empty"));
}

void RenderCombo() {
  Scene scene({860, 640});
  auto* combo = new CAvrelComboBox(&scene, 32998);
  combo->setItems({QStringLiteral("English"), QStringLiteral("Português"), QStringLiteral("Pyccкий"),
                   QStringLiteral("Español"), QStringLiteral("繁體中文"), QStringLiteral("简体中文")});
  combo->setCurrentIndex(2);
  combo->setGeometry(552, 290, 188, 32);
  scene.show();
  Save(scene.grab(), QStringLiteral("combo"));
  combo->OpenDropDown();
  CComboBoxList* drop = combo->dropDown();
  // Compose the popup over the scene where it would appear.
  QPixmap composed = scene.grab();
  {
    QPainter p(&composed);
    p.drawPixmap(drop->geometry().topLeft() - scene.mapToGlobal(QPoint(0, 0)), drop->grab());
  }
  Save(composed, QStringLiteral("combo_dropdown"));
  drop->close();

  auto* many = new CAvrelComboBox(&scene, 33000);
  QStringList items;
  for (int i = 0; i < 23; ++i) items << QStringLiteral("GMT+%1:00 zone %2").arg(i % 12).arg(i);
  many->setItems(items);
  many->setCurrentIndex(12);
  many->setGeometry(120, 290, 260, 32);
  many->OpenDropDown();
  drop = many->dropDown();
  composed = scene.grab();
  {
    QPainter p(&composed);
    p.drawPixmap(drop->geometry().topLeft() - scene.mapToGlobal(QPoint(0, 0)), drop->grab());
  }
  Save(composed, QStringLiteral("combo_dropdown_scrolled"));
  drop->close();
}

// The popup over the dimmed page, as the veil shows it.
QPixmap Veiled(QWidget* popup, QPoint offset, int opacity) {
  QPixmap page = PageBackground({860, 640});
  QPainter p(&page);
  QColor veil = Qt::black;
  veil.setAlpha(opacity);
  p.fillRect(page.rect(), veil);
  if (popup) p.drawPixmap(offset, popup->grab());
  return page;
}

void RenderPopups() {
  CAlarmDisplayPage warn(nullptr, 1, 1);
  Save(Veiled(&warn, {210, 200}, 153), QStringLiteral("popup_alarm_format"));
  CAlarmDisplayPage noDisk(nullptr, 0, 0);
  Save(Veiled(&noDisk, {210, 200}, 153), QStringLiteral("popup_alarm_nodisk"));
  CNetAlarmPage net(nullptr);
  Save(Veiled(&net, {210, 200}, 153), QStringLiteral("popup_netalarm"));
  CErrorPage error(nullptr, QString());
  Save(Veiled(&error, {210, 200}, 153), QStringLiteral("popup_error"));
  CErrorPage formatError(nullptr, QStringLiteral("Failed to format HDD!"));
  Save(Veiled(&formatError, {210, 200}, 153), QStringLiteral("popup_error_format"));

  // The waiting veil after a few ticks: its own pixels at 180/255 over the page.
  std::atomic<int> busy{1};
  for (int mode = 0; mode < 3; ++mode) {
    CWaitingPage waiting;
    waiting.setWatchedFlag(&busy);
    waiting.setMaxTicks(4);
    const WaitingText texts[] = {{}, {QStringLiteral("Checking your HDD"), true}, {QStringLiteral("Formatting your HDD...")}};
    waiting.setText(texts[mode]);
    waiting.exec();
    const QPixmap own = waiting.grab();
    QPixmap page = PageBackground({860, 640});
    QPainter p(&page);
    p.setOpacity(CWaitingPage::kOpacity / 255.0);
    p.drawPixmap(0, 0, own);
    p.end();
    const char* names[] = {"waiting", "waiting_check", "waiting_format"};
    Save(page, QString::fromLatin1(names[mode]));
  }
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  g_out = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery"));
  g_out.mkpath(QStringLiteral("."));
  ProvideStandIns();
  RenderButtons();
  RenderLabels();
  RenderLists();
  RenderCombo();
  RenderPopups();
  std::printf("gallery written to %s\n", qPrintable(g_out.absolutePath()));
  return 0;
}
