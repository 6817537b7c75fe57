// On X11 the frame draws its shadow only while a compositing manager owns _NET_WM_CM_S<screen>.
// Runs under a private X server (xvfb-run) with the xcb platform; elsewhere it has nothing to check.
#include <QtTest>
#include <xcb/xcb.h>
#include <qguiapplication_platform.h>

#include "platform/Compositing.h"

class CompositingTest : public QObject {
  Q_OBJECT
 private slots:
  void followsTheCompositingManagerSelection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) QSKIP("not running on X11");
    QVERIFY(!vrx::PerPixelAlphaWindowsShown());  // a bare X server composites nothing

    // Play compositing manager: own the selection with a window of our own.
    QWidget owner;
    xcb_connection_t* c = x11->connection();
    const QByteArray name = "_NET_WM_CM_S0";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.constData()), nullptr);
    QVERIFY(atom);
    xcb_set_selection_owner(c, xcb_window_t(owner.winId()), atom->atom, XCB_CURRENT_TIME);
    free(atom);
    xcb_flush(c);
    QVERIFY(vrx::PerPixelAlphaWindowsShown());
  }
};

QTEST_MAIN(CompositingTest)
#include "CompositingTest.moc"
