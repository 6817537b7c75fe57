// Review aid: a page background with the frame's texts and buttons laid over it at their places, so one
// can judge whether the artwork fights what the pages draw on it.
#pragma once

#include <QImage>
#include <QMap>

namespace art {

// pictures: every rendered picture by "<kind>/<id>". Returns one mock page per background.
QMap<QString, QImage> MockPages(const QMap<QString, QImage>& pictures);

}  // namespace art
