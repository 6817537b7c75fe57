#include "platform/AppFolders.h"

#include <QStandardPaths>

namespace vrx {

QString DesktopFolder() { return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation); }

}  // namespace vrx
