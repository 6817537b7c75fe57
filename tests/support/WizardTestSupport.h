#pragma once
// Small helpers the wizard's GUI tests share.

#include <QDir>
#include <QPainter>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "app/BriskoDlg.h"
#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "i18n/LanguageTable.h"
#include "platform/MessagePort.h"
#include "ui/Overlay.h"
#include "ui/Waiting.h"

namespace vrx::test {

// $VRX_BUILD_DIR/screenshots (created on first use): where tests leave pictures for a person to look at.
inline QString ScreenshotDir() {
  const QString dir = qEnvironmentVariable("VRX_BUILD_DIR", QDir::tempPath()) + "/screenshots";
  QDir().mkpath(dir);
  return dir;
}

// Switches the wizard's texts to the language of that index (0 English, 3 Spanish, 4 Traditional Chinese...),
// as the welcome page does.
inline void UseLanguage(int index) {
  currentLanguage = index;
  LoadLanguageFile(index);
}

// A popup over the page under the popup veil (black at 153/255).
inline QImage UnderPopup(QWidget* page, QWidget* popup) {
  QImage shot = page->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QPainter p(&shot);
  p.fillRect(shot.rect(), QColor(0, 0, 0, ui::CTransparentPage::kOpacity));
  p.drawImage(popup->mapToGlobal(QPoint(0, 0)) - page->mapToGlobal(QPoint(0, 0)), popup->grab().toImage());
  return shot;
}

// The waiting veil (black at 180/255) over the page: its light spinner and texts over the darkened page.
inline QImage UnderWaiting(QWidget* page, QWidget* waiting) {
  QImage shot = page->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QPainter p(&shot);
  p.fillRect(shot.rect(), QColor(0, 0, 0, ui::CWaitingPage::kOpacity));
  p.setCompositionMode(QPainter::CompositionMode_Lighten);
  p.drawImage(0, 0, waiting->grab().toImage());
  return shot;
}

// Walks the wizard forward to page type `type` the way its Next buttons do.
inline void GoTo(CInterDialog& host, int type) {
  for (int i = host.pageType(); i < type; ++i) PostMessage(host.handle(), WM_WIZ_NAVIGATE, NAV_NEXT);
  QTRY_COMPARE(host.pageType(), type);
}

// The page of that type once the host shows it, or null (with a note) when it did not come in time.
template <class Page>
Page* WaitForPage(CInterDialog& host, int type, int timeoutMs = 5000) {
  if (!QTest::qWaitFor([&] { return host.pageType() == type; }, timeoutMs)) {
    qWarning("still on page %d after %d ms, waiting for page %d", host.pageType(), timeoutMs, type);
    return nullptr;
  }
  return qobject_cast<Page*>(host.currentPage());
}

// Runs the whole wizard (the frame starts the host) and walks it from inside the host's modal loop, as a
// user's input would arrive; a failed step leaves the wizard. True when the walk came to its end.
inline bool RunWizard(CBriskoDlg& frame, const std::function<void(CInterDialog&)>& walk) {
  bool walkEnded = false;
  QTimer starter;
  starter.setInterval(20);
  QObject::connect(&starter, &QTimer::timeout, &frame, [&] {
    CInterDialog* host = frame.host();
    if (!host->isVisible() || !host->currentPage()) return;
    starter.stop();
    walk(*host);
    walkEnded = true;
    if (QTest::currentTestFailed()) host->reject();
  });
  starter.start();
  frame.exec();
  return walkEnded;
}

// Points the home, data and config folders into home, so a run of the whole wizard (its shortcut, its icon)
// leaves nothing behind. Call it before the application object is made.
inline void UseTemporaryHome(const QTemporaryDir& home) {
  qputenv("HOME", home.path().toUtf8());
  qputenv("XDG_DATA_HOME", (home.path() + "/.local/share").toUtf8());
  qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
  QStandardPaths::setTestModeEnabled(true);
}

}  // namespace vrx::test
