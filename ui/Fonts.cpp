#include "ui/Fonts.h"

#include <QStringList>

namespace vrx::ui {
namespace {

const QStringList& CjkFallbacks() {
  static const QStringList list{QStringLiteral("Noto Sans CJK TC"), QStringLiteral("Noto Sans CJK SC"),
                                QStringLiteral("Noto Sans CJK JP")};
  return list;
}

}  // namespace

QString FamilyFor(Face face) {
  switch (face) {
    case Face::Arial: return QStringLiteral("Liberation Sans");
    case Face::Verdana:
    case Face::Tahoma: return QStringLiteral("DejaVu Sans");
  }
  return QStringLiteral("DejaVu Sans");
}

Face FaceFromName(const QString& windowsFamily) {
  if (windowsFamily.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0) return Face::Arial;
  if (windowsFamily.compare(QLatin1String("Tahoma"), Qt::CaseInsensitive) == 0) return Face::Tahoma;
  return Face::Verdana;
}

QFont UiFont(Face face, int pixelSize, bool bold) {
  QFont font;
  QStringList families{FamilyFor(face)};
  families += CjkFallbacks();
  font.setFamilies(families);
  font.setPixelSize(pixelSize > 0 ? pixelSize : 1);
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

}  // namespace vrx::ui
