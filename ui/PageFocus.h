#pragma once
// Where the keyboard and a screen reader land when a page appears: the window takes the page's title as its
// name, a reader hears the title and the instruction once, and then the focus goes to the page's first
// meaningful control (the one the page names, else its first own Tab stop, else Next, else Back), never to
// Close or Minimise, so the control is heard after them. (The window carries no description: a reader reads
// a window's description after its texts, and would say the instruction twice as the window becomes active.)

#include <QString>
#include <QWidget>

namespace vrx::ui {

// What the frame's buttons are for: only Next and Back may take the first focus, and only when the page has
// nothing of its own to focus.
enum class FrameRole : int { Next = 1, Back = 2, WindowButton = 3 };
void SetFrameRole(QWidget* control, FrameRole role);

// The page's title, spoken as the window's name while the page is shown.
void SetPageTitle(QWidget* page, const QString& title);
QString PageTitle(const QWidget* page);

// What the page asks of the user (plain text, no bold markers), spoken after the title when the page arrives.
void SetPageInstruction(QWidget* page, const QString& instruction);
QString PageInstruction(const QWidget* page);
// What a reader hears when the page arrives: "title. instruction" (either part may be missing).
QString PageAnnouncement(const QWidget* page);

// The control the page wants focused first (when it is visible and enabled).
void SetFirstFocus(QWidget* page, QWidget* control);
QWidget* FirstFocus(const QWidget* page);

// Where the keyboard goes on a page whose focused control is about to be disabled (a search starting): the
// page's first control that stays usable, else the page itself, never the window's Close or Minimise, where
// the focus would otherwise fall.
void KeepFocusOnPage(QWidget* page);

// Called by the host once a page is on screen: names the host after the page, speaks the page's title and
// instruction, and moves the focus to the page's first control.
void EnterPage(QWidget* host, QWidget* page, const QString& defaultName);

}  // namespace vrx::ui
