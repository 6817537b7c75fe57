#include "ui/PageFocus.h"

#include <QPointer>
#include <QStringList>
#include <QVariant>

#include "ui/Accessible.h"
#include "ui/SkinBase.h"

namespace vrx::ui {
namespace {

constexpr char kFrameRoleProperty[] = "vrxFrameRole";
constexpr char kTitleProperty[] = "vrxPageTitle";
constexpr char kFirstFocusProperty[] = "vrxFirstFocus";
constexpr char kInstructionProperty[] = "vrxPageInstruction";

bool CanTakeFocus(const QWidget* w, const QWidget* page) {
  return w && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(page);
}

}  // namespace

void SetFrameRole(QWidget* control, FrameRole role) { control->setProperty(kFrameRoleProperty, int(role)); }

void SetPageTitle(QWidget* page, const QString& title) { page->setProperty(kTitleProperty, title); }

QString PageTitle(const QWidget* page) { return page->property(kTitleProperty).toString(); }

void SetPageInstruction(QWidget* page, const QString& instruction) {
  page->setProperty(kInstructionProperty, instruction);
}

QString PageInstruction(const QWidget* page) { return page->property(kInstructionProperty).toString(); }

QString PageAnnouncement(const QWidget* page) {
  QStringList parts;
  for (QString part : {PageTitle(page), PageInstruction(page)}) {
    part = part.simplified();
    if (part.isEmpty()) continue;
    // A sentence of its own, so a reader pauses between the title and the instruction.
    if (!part.back().isPunct()) part += QLatin1Char('.');
    parts << part;
  }
  return parts.join(QLatin1Char(' '));
}

void SetFirstFocus(QWidget* page, QWidget* control) {
  page->setProperty(kFirstFocusProperty, QVariant::fromValue(QPointer<QWidget>(control)));
}

QWidget* FirstFocus(const QWidget* page) {
  if (QWidget* named = page->property(kFirstFocusProperty).value<QPointer<QWidget>>(); CanTakeFocus(named, page))
    return named;
  QWidget* best[3] = {nullptr, nullptr, nullptr};  // own control, Next, Back
  for (QWidget* w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
    if (!page->isAncestorOf(w) || !CanTakeFocus(w, page)) continue;
    const int role = w->property(kFrameRoleProperty).toInt();
    if (role == 0 && !best[0]) best[0] = w;
    if (role == int(FrameRole::Next) && !best[1]) best[1] = w;
    if (role == int(FrameRole::Back) && !best[2]) best[2] = w;
  }
  for (QWidget* w : best)
    if (w) return w;
  return nullptr;
}

void KeepFocusOnPage(QWidget* page) {
  if (QWidget* first = FirstFocus(page)) return first->setFocus(Qt::OtherFocusReason);
  page->setFocus(Qt::OtherFocusReason);
}

void EnterPage(QWidget* host, QWidget* page, const QString& defaultName) {
  const QString title = PageTitle(page);
  host->setAccessibleName(title.isEmpty() ? defaultName : title);
  // Said before the focus moves: a reader queues the control's name behind it. A window that is not active
  // yet (the wizard starting) is read out by the reader as it becomes active, title and texts: no second time.
  if (host->isActiveWindow()) Speak(host, PageAnnouncement(page));
  if (QWidget* first = FirstFocus(page)) {
    ShowFocusRing(first);  // also when the window is not active yet and the focus arrives with its activation
    first->setFocus(Qt::TabFocusReason);
  } else {
    page->setFocus(Qt::OtherFocusReason);  // nothing usable yet (a scan running): not Close
  }
}

}  // namespace vrx::ui
