#pragma once
#include <QPoint>
#include <QString>
namespace vrx {
// What the camera page hands to the live preview popup (overlay kind 8).
struct PreviewRequest {
  QString address;   // camera address text, "host" or "host:port"
  QString account;
  QString password;
  QPoint iconCentre; // the preview icon's centre in screen coordinates: the popup's pointer aims at it
};
}  // namespace vrx
