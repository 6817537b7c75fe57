// vrx_artgen: draws every picture the manifest lists into PNG files (and the program icon's .ico), and can
// lay them all out on one contact sheet for review.
//
//   vrx_artgen --manifest res/art/pictures.tsv --out <dir> [--sheet <file.png>] [--detail <file.png>]
//              [--mockups <dir>]   (page backgrounds with the frame's texts and buttons laid over them)
//   vrx_artgen --icon-theme <dir>  (the program icon for desktop menus: <dir>/<N>x<N>/apps/vrx-setup-wizard.png)
//
// Writes <dir>/png/<id>.png, <dir>/bmp/<id>.png and <dir>/ico/<id>.ico. Exit status 1 on any failure.
#include "Art.h"
#include "IcoFile.h"
#include "Manifest.h"
#include "Mockup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <stdexcept>

namespace {

constexpr int kIconSides[] = {16, 32, 48, 256};

QImage Render(const art::PictureSpec& spec, const QSize& size) {
  const auto& painters = art::Painters();
  const auto it = painters.find(spec.painter);
  if (it == painters.end()) throw std::runtime_error("no painter named " + spec.painter.toStdString());
  QImage img(size, QImage::Format_ARGB32_Premultiplied);
  img.fill(spec.kind == "bmp" ? Qt::white : Qt::transparent);
  QPainter p(&img);
  p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
  it->second(p, size, spec.variant);
  p.end();
  // Bitmaps are opaque page backgrounds.
  return spec.kind == "bmp" ? img.convertToFormat(QImage::Format_RGB32) : img;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool WritePicture(const art::PictureSpec& spec, const QString& outDir, QImage* preview) {
  const QString path = outDir + "/" + spec.FileName();
  if (spec.kind == "ico") {
    QList<QImage> images;
    for (int side : kIconSides) images.append(Render(spec, QSize(side, side)));
    *preview = images.last();
    return WriteFile(path, art::MakeIco(images));
  }
  *preview = Render(spec, spec.size);
  QDir().mkpath(QFileInfo(path).absolutePath());
  return preview->save(path, "PNG");
}

// Mean brightness of a picture's visible pixels, to pick a backdrop it shows up on.
int VisibleBrightness(const QImage& img) {
  const QImage a = img.convertToFormat(QImage::Format_ARGB32);
  qint64 sum = 0, weight = 0;
  for (int y = 0; y < a.height(); y += 2)
    for (int x = 0; x < a.width(); x += 2) {
      const QRgb c = a.pixel(x, y);
      sum += qAlpha(c) * qGray(c);
      weight += qAlpha(c);
    }
  return weight ? int(sum / weight) : 0;
}

// Every picture on a checkerboard (so transparency shows; a dark one under mostly white pictures), scaled to
// fit its cell, with id and size.
QImage ContactSheet(const QList<art::PictureSpec>& specs, const QList<QImage>& images) {
  const int cols = 6, cellW = 220, cellH = 190, pad = 10, imgH = 150;
  const int rows = int((specs.size() + cols - 1) / cols);
  QImage sheet(cols * cellW, rows * cellH, QImage::Format_RGB32);
  sheet.fill(QColor(0x9A, 0x9E, 0xA2));
  QPainter p(&sheet);
  p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
  QFont font("DejaVu Sans");
  font.setPixelSize(12);
  p.setFont(font);
  for (int i = 0; i < specs.size(); ++i) {
    const QRect cell((i % cols) * cellW, (i / cols) * cellH, cellW, cellH);
    const QRect box = cell.adjusted(pad, pad, -pad, -(cellH - imgH - pad));
    const bool light = specs[i].kind != "bmp" && VisibleBrightness(images[i]) > 215;
    const QColor even = light ? QColor(0x5C, 0x60, 0x64) : QColor(Qt::white);
    const QColor odd = light ? QColor(0x50, 0x54, 0x58) : QColor(0xEE, 0xEE, 0xEE);
    for (int y = box.top(); y < box.bottom(); y += 8)
      for (int x = box.left(); x < box.right(); x += 8)
        p.fillRect(QRect(x, y, 8, 8).intersected(box), ((x + y) / 8) % 2 ? odd : even);
    const QSize fit = images[i].size().scaled(box.size(), Qt::KeepAspectRatio).boundedTo(images[i].size() * 4);
    const QRect target(box.center() - QPoint(fit.width() / 2, fit.height() / 2), fit);
    p.drawImage(target, images[i]);
    p.setPen(Qt::white);
    p.drawText(cell.adjusted(pad, imgH + pad + 2, -pad, 0), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("%1 %2  %3x%4\n%5:%6")
                   .arg(specs[i].id)
                   .arg(specs[i].kind)
                   .arg(specs[i].size.width())
                   .arg(specs[i].size.height())
                   .arg(specs[i].painter, specs[i].variant));
  }
  return sheet;
}

// The small pictures enlarged four times without smoothing, over white and over the accent colour, to
// judge their pixels.
QImage DetailSheet(const QList<art::PictureSpec>& specs, const QList<QImage>& images) {
  const int zoom = 4, cellW = 2 * 64 * zoom + 30, cellH = 64 * zoom + 34, cols = 3;
  QList<int> picked;
  for (int i = 0; i < specs.size(); ++i)
    if (images[i].width() <= 64 && images[i].height() <= 64) picked.append(i);
  const int rows = int((picked.size() + cols - 1) / cols);
  QImage sheet(cols * cellW, rows * cellH, QImage::Format_RGB32);
  sheet.fill(QColor(0x70, 0x74, 0x78));
  QPainter p(&sheet);
  QFont font("DejaVu Sans");
  font.setPixelSize(12);
  p.setFont(font);
  for (int k = 0; k < picked.size(); ++k) {
    const QImage& img = images[picked[k]];
    const QPoint at((k % cols) * cellW + 6, (k / cols) * cellH + 6);
    const QSize big = img.size() * zoom;
    const QSize half(qMin(big.width(), cellW / 2 - 9), qMin(big.height(), cellH - 30));
    p.fillRect(QRect(at, half), Qt::white);
    p.fillRect(QRect(at + QPoint(cellW / 2 - 3, 0), half), QColor(42, 169, 209));
    p.drawImage(QRect(at, big), img);
    p.drawImage(QRect(at + QPoint(cellW / 2 - 3, 0), big), img);
    p.setPen(Qt::white);
    p.drawText(at + QPoint(0, cellH - 18), QString::number(specs[picked[k]].id));
  }
  return sheet;
}

// The program icon at the sizes desktop icon themes look for, in the layout of the hicolor theme.
int WriteIconTheme(const QString& dir) {
  constexpr int kThemeSides[] = {16, 22, 24, 32, 48, 64, 128, 256};
  art::PictureSpec spec;
  spec.painter = QStringLiteral("appicon");
  spec.kind = QStringLiteral("png");
  for (int side : kThemeSides) {
    const QString path = QStringLiteral("%1/%2x%2/apps/vrx-setup-wizard.png").arg(dir).arg(side);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!Render(spec, QSize(side, side)).save(path, "PNG")) {
      std::fprintf(stderr, "vrx_artgen: cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QString manifest, outDir, sheetPath, detailPath, mockDir;
  const QStringList args = app.arguments();
  if (args.size() == 3 && args[1] == "--icon-theme") return WriteIconTheme(args[2]);
  for (int i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == "--manifest") manifest = args[i + 1];
    else if (args[i] == "--out") outDir = args[i + 1];
    else if (args[i] == "--sheet") sheetPath = args[i + 1];
    else if (args[i] == "--detail") detailPath = args[i + 1];
    else if (args[i] == "--mockups") mockDir = args[i + 1];
  }
  if (manifest.isEmpty() || outDir.isEmpty()) {
    std::fprintf(stderr, "usage: vrx_artgen --manifest FILE --out DIR [--sheet FILE] [--detail FILE]\n");
    return 2;
  }
  QList<art::PictureSpec> specs;
  QString error;
  if (!art::ReadManifest(manifest, &specs, &error)) {
    std::fprintf(stderr, "vrx_artgen: %s\n", qPrintable(error));
    return 1;
  }
  QList<QImage> previews;
  for (const art::PictureSpec& spec : specs) {
    QImage preview;
    try {
      if (!WritePicture(spec, outDir, &preview)) throw std::runtime_error("cannot write " + spec.FileName().toStdString());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "vrx_artgen: picture %d (%s:%s): %s\n", spec.id, qPrintable(spec.painter),
                   qPrintable(spec.variant), e.what());
      return 1;
    }
    previews.append(preview);
  }
  if (!sheetPath.isEmpty() && !ContactSheet(specs, previews).save(sheetPath, "PNG")) {
    std::fprintf(stderr, "vrx_artgen: cannot write %s\n", qPrintable(sheetPath));
    return 1;
  }
  if (!mockDir.isEmpty()) {
    QMap<QString, QImage> byName;
    for (int i = 0; i < specs.size(); ++i) byName.insert(QStringLiteral("%1/%2").arg(specs[i].kind).arg(specs[i].id), previews[i]);
    QDir().mkpath(mockDir);
    const auto pages = art::MockPages(byName);
    for (auto it = pages.begin(); it != pages.end(); ++it) it.value().save(mockDir + "/" + it.key() + ".png", "PNG");
  }
  if (!detailPath.isEmpty() && !DetailSheet(specs, previews).save(detailPath, "PNG")) {
    std::fprintf(stderr, "vrx_artgen: cannot write %s\n", qPrintable(detailPath));
    return 1;
  }
  return 0;
}
