#pragma once
// Opening a web address in the user's default browser (what the shell's "open" did).

#include <QUrl>

namespace vrx {

// Hands url to the desktop's URL handler. Where the windowing platform offers none (a headless or minimal
// platform), xdg-open, else the program named by $BROWSER, is started with the address. False when nothing
// could be started.
bool OpenInBrowser(const QUrl& url);

}  // namespace vrx
