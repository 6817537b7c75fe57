#pragma once
// How the skinned controls look to assistive technology (screen readers, on-screen keyboards).
//
// Every control that paints itself tells what it is through a small set of calls here instead of its own
// QAccessibleInterface: a custom-drawn list exposes its rows, a box that shows a chosen value exposes that
// value, decoration is taken out of the tree, and errors are raised as alerts. One factory and one event
// filter serve them all; both are installed the first time any of these calls runs.
//
// The event filter also guards typed passwords: the text events of a line edit in password mode carry the
// typed characters, and any program on the desktop's accessibility bus could read them. They leave the
// process masked, one U+25CF per character.

#include <QAccessible>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

namespace vrx::ui {

// The rows of a custom-drawn list, as the list itself knows them. Rows are numbered from 0.
struct AccessibleRows {
  std::function<int()> count;
  std::function<QString(int row)> text;
  std::function<bool(int row)> selected;       // the row's mark (radio, chosen zone, chosen language)
  std::function<int()> current;                // the keyboard highlight, -1 none
  std::function<QRect(int row)> rect;          // in the list's coordinates; empty when scrolled away
  std::function<void(int row)> choose;         // what Space on the row does; may be empty
  std::function<bool(int row)> enabled;        // false: the row is shown but unavailable; empty: all enabled
  // One more named action a row may offer (a camera's "Preview"); shown only where available says so.
  struct Action {
    QString name;
    std::function<bool(int row)> available;
    std::function<void(int row)> run;
  };
  std::vector<Action> actions;
  QAccessible::Role itemRole = QAccessible::ListItem;
  bool checkable = false;                      // rows announce "checked" rather than "selected"
};

// Installs the factory and the event filter (once; every call below does it too).
void InstallAccessibility();

// The role a control announces (the interface Qt may have made for it before is dropped).
void SetAccessibleRole(QWidget* w, QAccessible::Role role);

// The list's rows become its accessible children (after its widget children).
void ExposeRows(QWidget* list, AccessibleRows rows);
// The keyboard highlight or the mark moved: focus on the row, and the selection change.
void NotifyRowFocus(QWidget* list, int row);
// The row's tick changed: a reader hears "checked" / "not checked".
void NotifyRowChecked(QWidget* list, int row);
// The rows were replaced: the item objects a reader holds are dropped.
void NotifyRowsReset(QWidget* list);
// New rows have arrived (a scan ended): the old items are dropped, each row is reported as a new child (a
// reader's "children changed"), and countText is spoken.
void NotifyRowsArrived(QWidget* list, const QString& countText);
// A popup list (a drop-down) belongs to owner in the accessible tree, not to the desktop.
void SetAccessibleOwner(QWidget* popup, QWidget* owner);

// A box that shows a chosen value beside its caption: its name stays the caption, value() is read as its value,
// and press() (Space) opens its choice.
void ExposeValue(QWidget* box, std::function<QString()> value);
void NotifyValueChanged(QWidget* box);

// Decoration (spinners, the veil, pictures repeated by a text beside them, the shadow frame): no node, no events.
void HideFromAccessibility(QWidget* w);
bool IsHiddenFromAccessibility(const QObject* o);

// Says text to a screen reader without moving the focus ("5 cameras found", "Four cameras are the most.", an
// error). Every message the program speaks goes this way.
//
// Qt's AT-SPI bridge (Qt 6.4) sends nothing for an Alert event, and Orca ignores a name change on an object it
// is not standing on, so neither is heard. What Orca does speak is an object of role Notification that
// becomes showing; inside an object of role StatusBar it speaks the notification's name alone, without the
// word "notification" before it. Each window gets one such pair, in a 1 x 1 window of its own off every screen
// that takes neither focus nor input (inside the dialog itself, Orca would read the dialog's name and texts
// before each message); the message is spoken by showing the notification again with the text as its name.
void Speak(QWidget* anywhereInWindow, const QString& text);
// What the window of w spoke last (empty before anything was): for tests.
QString LastSpoken(const QWidget* w);
// Speaks text and makes source an alert carrying it (role Alert, the text as its name and description), for
// a reader that looks at the label later; the Alert event goes to bridges that forward it.
void Announce(QWidget* source, const QString& text);
// Speaks the widget's present name, keeping its role (a picture whose name tells a state).
void AnnounceName(QWidget* source);
// Puts an error on a field: the message becomes its description (and the alert is raised on alertSource);
// an empty message gives the field back its hint.
void SetFieldError(QWidget* field, const QString& message, QWidget* alertSource);
// The hint a field describes itself with when it has no error.
void SetFieldHint(QWidget* field, const QString& hint);

// A caption button's name without the arrows drawn beside its text ("NEXT   >" is "NEXT").
QString SpokenCaption(const QString& caption);

}  // namespace vrx::ui
