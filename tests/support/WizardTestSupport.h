#pragma once
// Small helpers the wizard's GUI tests share.

#include <QDir>
#include <QString>
#include <QtTest>

#include "app/InterDialog.h"
#include "platform/MessagePort.h"

namespace vrx::test {

// $VRX_BUILD_DIR/screenshots (created on first use): where tests leave pictures for a person to look at.
inline QString ScreenshotDir() {
  const QString dir = qEnvironmentVariable("VRX_BUILD_DIR", QDir::tempPath()) + "/screenshots";
  QDir().mkpath(dir);
  return dir;
}

// Walks the wizard forward to page type `type` the way its Next buttons do.
inline void GoTo(CInterDialog& host, int type) {
  for (int i = host.pageType(); i < type; ++i) PostMessage(host.handle(), WM_WIZ_NAVIGATE, NAV_NEXT);
  QTRY_COMPARE(host.pageType(), type);
}

}  // namespace vrx::test
