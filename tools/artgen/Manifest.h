// The picture manifest (res/art/pictures.tsv): one row per picture with its id, kind, size and painter.
#pragma once

#include <QList>
#include <QSize>
#include <QString>

namespace art {

struct PictureSpec {
  int id = 0;
  QString kind;     // "png", "bmp" or "ico"
  QSize size;
  QString painter;  // the drawer column before ':'
  QString variant;  // after ':' (may be empty)
  QString role;
  QString FileName() const;  // "<kind>/<id>.png", or "ico/<id>.ico"
};

// Reads the manifest; on a malformed row returns false and describes it in *error.
bool ReadManifest(const QString& path, QList<PictureSpec>* out, QString* error);

}  // namespace art
