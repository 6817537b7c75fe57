#pragma once
// Puts a file's whole contents at a path at once: written into a new file beside it (mkostemp creates it with
// O_EXCL, so never an existing file or a link, readable by its owner alone), given its mode, flushed, then
// renamed over the path. rename() replaces the name itself: a link standing at the path is replaced, never
// followed, and a reader sees the earlier file or the whole new one. The launcher and the answer file are
// written so.

#include <sys/types.h>

#include <QByteArray>
#include <QString>

namespace vrx::steps {

// 0 when the contents stand at path; else the errno of what failed, and nothing is left beside the path.
int ReplaceFile(const QString& path, const QByteArray& contents, mode_t mode);

}  // namespace vrx::steps
