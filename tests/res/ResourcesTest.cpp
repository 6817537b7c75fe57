// The pictures linked into a program through vrx_res: every catalogued picture is a registered resource
// of its declared size, the ids and sizes the pages place are all there, and the program icon is a
// well-formed icon file.
#include "PictureCatalog.h"

#include <QFile>
#include <QImage>
#include <QtEndian>

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <set>

// Readable sizes in failure messages (found by argument-dependent lookup: QSize lives in the global namespace).
void PrintTo(const QSize& s, std::ostream* os) { *os << s.width() << "x" << s.height(); }

namespace {

QString ResourcePath(int id, const QString& kind) {
  return QStringLiteral(":/%1/%2.%3").arg(kind).arg(id).arg(kind == "ico" ? "ico" : "png");
}

QByteArray ReadResource(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(Resources, EveryCataloguedPictureIsRegisteredAtItsSize) {
  const auto pictures = vrx::res::AllPictures();
  ASSERT_FALSE(pictures.empty());
  std::set<std::pair<int, QString>> seen;
  for (const vrx::res::PictureInfo& p : pictures) {
    const QString kind = QString::fromLatin1(p.kind);
    SCOPED_TRACE(qPrintable(ResourcePath(p.id, kind)));
    EXPECT_TRUE(seen.insert({p.id, kind}).second) << "listed twice";
    const QByteArray bytes = ReadResource(ResourcePath(p.id, kind));
    ASSERT_FALSE(bytes.isEmpty());
    if (kind == "ico") continue;  // checked below
    const QImage img = QImage::fromData(bytes, "PNG");
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), QSize(p.width, p.height));
    if (kind == "bmp") {
      EXPECT_FALSE(img.hasAlphaChannel()) << "page backgrounds are opaque";
    }
  }
}

// Ids the pages draw, with the sizes their layouts give (the Rescan set, spinner and disk pictures are
// sized by us and only need to exist).
TEST(Resources, PagesFindEveryPictureTheyPlace) {
  struct Need { int first, last; const char* kind; int w, h; };
  const Need needs[] = {
      {3000, 3004, "bmp", 860, 640}, {3008, 3008, "bmp", 860, 640}, {3030, 3033, "png", 416, 42},
      {3034, 3041, "png", 37, 29},   {3042, 3045, "png", 118, 43},  {3046, 3047, "png", 240, 42},
      {3049, 3050, "png", 240, 42},  {3059, 3059, "png", 48, 48},   {3060, 3062, "png", 14, 14},
      {3064, 3064, "png", 26, 26},   {4012, 4012, "png", 40, 40},   {4013, 4013, "png", 25, 25},
      {4082, 4082, "png", 25, 25},   {4019, 4019, "png", 388, 224}, {4020, 4020, "png", 365, 152},
      {4069, 4069, "png", 400, 222}, {4071, 4071, "png", 575, 270}, {4074, 4081, "png", 160, 160},
      {3052, 3053, "png", 0, 0},     {3055, 3055, "png", 0, 0},     {4009, 4011, "png", 0, 0},
      {4015, 4018, "png", 0, 0},     {4060, 4067, "png", 0, 0},     {4083, 4087, "png", 0, 0},
      {3159, 3159, "png", 0, 0},     {3159, 3159, "ico", 0, 0},
  };
  std::map<std::pair<int, QString>, QSize> catalogue;
  for (const auto& p : vrx::res::AllPictures()) catalogue[{p.id, QString::fromLatin1(p.kind)}] = {p.width, p.height};
  for (const Need& n : needs)
    for (int id = n.first; id <= n.last; ++id) {
      SCOPED_TRACE(qPrintable(ResourcePath(id, n.kind)));
      const auto it = catalogue.find({id, QString::fromLatin1(n.kind)});
      ASSERT_NE(it, catalogue.end());
      if (n.w) {
        EXPECT_EQ(it->second, QSize(n.w, n.h));
      }
    }
}

TEST(Resources, ProgramIconIsAnIcoWithFourPngImages) {
  const QByteArray ico = ReadResource(":/ico/3159.ico");
  ASSERT_GE(ico.size(), 6);
  const auto* d = reinterpret_cast<const uchar*>(ico.constData());
  EXPECT_EQ(qFromLittleEndian<quint16>(d), 0);      // reserved
  EXPECT_EQ(qFromLittleEndian<quint16>(d + 2), 1);  // icon, not cursor
  const int count = qFromLittleEndian<quint16>(d + 4);
  ASSERT_EQ(count, 4);
  ASSERT_GE(ico.size(), 6 + 16 * count);
  std::set<int> sides;
  for (int i = 0; i < count; ++i) {
    const uchar* e = d + 6 + 16 * i;
    const int w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
    const quint32 size = qFromLittleEndian<quint32>(e + 8), offset = qFromLittleEndian<quint32>(e + 12);
    EXPECT_EQ(qFromLittleEndian<quint16>(e + 6), 32);  // bits per pixel
    ASSERT_LE(quint64(offset) + size, quint64(ico.size())) << "image " << i << " runs past the file";
    const QImage img = QImage::fromData(ico.mid(offset, size), "PNG");
    ASSERT_FALSE(img.isNull()) << "image " << i;
    EXPECT_EQ(img.size(), QSize(w, h));
    sides.insert(w);
  }
  EXPECT_EQ(sides, (std::set<int>{16, 32, 48, 256}));
}

}  // namespace
