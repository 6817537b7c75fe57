#include "Manifest.h"

#include <QFile>
#include <QTextStream>

namespace art {

QString PictureSpec::FileName() const {
  return QStringLiteral("%1/%2.%3").arg(kind).arg(id).arg(kind == "ico" ? "ico" : "png");
}

bool ReadManifest(const QString& path, QList<PictureSpec>* out, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    *error = path + ": cannot open";
    return false;
  }
  QTextStream in(&file);
  int lineNo = 0;
  while (!in.atEnd()) {
    const QString line = in.readLine();
    ++lineNo;
    if (line.isEmpty() || line.startsWith('#') || line.startsWith("id\t")) continue;
    const QStringList f = line.split('\t');
    bool idOk = false, wOk = false, hOk = false;
    PictureSpec spec;
    if (f.size() == 6) {
      spec.id = f[0].toInt(&idOk);
      spec.kind = f[1];
      spec.size = QSize(f[2].toInt(&wOk), f[3].toInt(&hOk));
      spec.painter = f[4].section(':', 0, 0);
      spec.variant = f[4].section(':', 1);
      spec.role = f[5];
    }
    const bool kindOk = spec.kind == "png" || spec.kind == "bmp" || spec.kind == "ico";
    if (!idOk || !wOk || !hOk || !kindOk || spec.size.isEmpty()) {
      *error = QStringLiteral("%1:%2: malformed row").arg(path).arg(lineNo);
      return false;
    }
    out->append(spec);
  }
  return true;
}

}  // namespace art
