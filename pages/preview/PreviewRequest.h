#pragma once
#include <QPoint>
#include <QString>
#include <memory>

#include "net/Secret.h"

namespace vrx {
// What the camera page hands to the live preview popup (overlay kind 8). The popup inputs are copied on their
// way, so the password travels as one shared secret rather than as copies of its text.
struct PreviewRequest {
  QString address;   // camera address text, "host" or "host:port"
  QString account;
  std::shared_ptr<const net::Secret> password;
  QPoint iconCentre; // the preview icon's centre in screen coordinates: the popup's pointer aims at it
};
}  // namespace vrx
