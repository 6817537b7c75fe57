#pragma once
// Pictures of what a person sees for the screenshot tests: a page darkened by a veil with the popup (or the
// waiting veil's own pixels) laid over it at its place, and a rough check that a picture is not blank.

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QSet>
#include <QWidget>

namespace vrx::test {

// `page` under a black veil of `opacity` (of 255), with `over` drawn at `at`; `lighten` keeps only what is
// lighter than the darkened page (the waiting veil's spinner and text).
inline QImage Veiled(const QImage& page, int opacity, const QImage& over = {}, QPoint at = {}, bool lighten = false) {
  QImage shot = page.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QPainter p(&shot);
  if (opacity) p.fillRect(shot.rect(), QColor(0, 0, 0, opacity));
  if (!over.isNull()) {
    if (lighten) p.setCompositionMode(QPainter::CompositionMode_Lighten);
    p.drawImage(at, over);
  }
  return shot;
}

// The same for widgets on screen: `over` (a popup or a veil, may be null) where it stands relative to `page`.
inline QImage Veiled(QWidget* page, int opacity, QWidget* over = nullptr, bool lighten = false) {
  const QPoint at = over ? over->mapToGlobal(QPoint(0, 0)) - page->mapToGlobal(QPoint(0, 0)) : QPoint();
  return Veiled(page->grab().toImage(), opacity, over ? over->grab().toImage() : QImage(), at, lighten);
}

// Distinct colours in a picture (every fourth pixel each way): a blank or single-colour picture has very few.
inline int ColourCount(const QImage& image) {
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); y += 4)
    for (int x = 0; x < image.width(); x += 4) colours.insert(image.pixel(x, y));
  return colours.size();
}

}  // namespace vrx::test
