#include "ui/Popup.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

#include "i18n/LangString.h"
#include "ui/Buttons.h"
#include "ui/PageFocus.h"

namespace vrx::ui {
namespace {
constexpr int kCorner = 6;
constexpr QSize kTextButton{118, 43};
}  // namespace

void RoundWindowCorners(QWidget* window, int radius) {
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) return;  // no shapes to set there
  QPainterPath path;
  path.addRoundedRect(QRectF(window->rect()), radius, radius);
  window->setMask(QRegion(path.toFillPolygon().toPolygon()));
}

CPopupPage::CPopupPage(QWidget* parent, QSize size, QPoint offset) : QDialog(parent), offset_(offset) {
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setAttribute(Qt::WA_TranslucentBackground);
  setModal(true);
  setFixedSize(size);
  if (parent) setOrigin(parent->mapToGlobal(QPoint(0, 0)));
}

void CPopupPage::setOrigin(QPoint veilOrigin) { move(veilOrigin + offset_); }

void CPopupPage::resizeEvent(QResizeEvent* e) {
  RoundWindowCorners(this, kCorner);
  QDialog::resizeEvent(e);
}

void CPopupPage::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (QWidget* first = focusWidget() ? focusWidget() : FirstFocus(this)) ShowFocusRing(first);
}

void CPopupPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(border_.isValid() ? QPen(border_, 1) : QPen(Qt::NoPen));
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kCorner, kCorner);
}

void CPopupPage::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      e->accept();  // filtered: only the popup's buttons end it
      return;
    default:
      QDialog::keyPressEvent(e);
  }
}

CAvrelButton* CPopupPage::addCloseButton(int x, int y) {
  auto* close = new CCloseButton(this, 2);
  close->SetImages(3060, 3060, 3060, 3060);
  close->placePicture(x, y);
  close->setAccessibleName(GetLangString(QStringLiteral("Close"), QStringLiteral("Close")));
  connect(close, &CAvrelButton::command, this, [this] { done(QDialog::Rejected); });
  return close;
}

CAvrelButton* CPopupPage::addTextButton(int id, const QString& caption, QPoint topLeft, int result) {
  auto* button = new CAvrelButton(this, id);
  button->SetImages(3045, 3042, 3044, 3043);
  button->setText(caption);
  button->setGeometry(QRect(topLeft, kTextButton));
  connect(button, &CAvrelButton::command, this, [this, result] { done(result); });
  return button;
}

}  // namespace vrx::ui
