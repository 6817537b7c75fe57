#include "platform/Compositing.h"

#include <QGuiApplication>

#if QT_CONFIG(xcb) && VRX_HAVE_XCB
#include <xcb/xcb.h>

#include <QByteArray>
#include <QRegularExpression>
#include <cstdlib>
#include <qguiapplication_platform.h>
#endif

namespace vrx {
namespace {

#if QT_CONFIG(xcb) && VRX_HAVE_XCB
// The screen number of DISPLAY (":0.1" -> 1; 0 when it names none).
int DefaultScreenNumber() {
  const QString display = qEnvironmentVariable("DISPLAY");
  const QRegularExpressionMatch m = QRegularExpression(QStringLiteral(":\\d+\\.(\\d+)$")).match(display);
  return m.hasMatch() ? m.captured(1).toInt() : 0;
}

bool CompositingManagerRunning(xcb_connection_t* c) {
  const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreenNumber());
  xcb_intern_atom_reply_t* atom =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(name.size()), name.constData()), nullptr);
  if (!atom) return false;
  const xcb_atom_t selection = atom->atom;
  std::free(atom);
  if (selection == XCB_ATOM_NONE) return false;  // nobody ever claimed it
  xcb_get_selection_owner_reply_t* owner =
      xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
  if (!owner) return false;
  const bool owned = owner->owner != XCB_NONE;
  std::free(owner);
  return owned;
}
#endif

}  // namespace

bool PerPixelAlphaWindowsShown() {
#if QT_CONFIG(xcb) && VRX_HAVE_XCB
  if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
    if (xcb_connection_t* c = x11->connection()) return CompositingManagerRunning(c);
#endif
  return true;
}

}  // namespace vrx
