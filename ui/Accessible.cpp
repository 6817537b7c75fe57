#include "ui/Accessible.h"

#include <QAbstractButton>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QBasicTimer>
#include <array>
#include <QTimerEvent>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QWindow>

#include "ui/SkinBase.h"

namespace vrx::ui {
namespace {

constexpr char kDataName[] = "vrxAccessibleData";
constexpr char kHiddenProperty[] = "vrxAccessibleHidden";
constexpr char kHintProperty[] = "vrxAccessibleHint";
constexpr char kSpokenStatusWindow[] = "vrxSpokenStatus";
constexpr QChar kMask{0x25CF};

// What a widget told us about itself, kept as a child object so it goes with the widget. For a list it also
// watches the keys and clicks that may move the highlight or the mark, and tells a reader where they went.
class AccessibleData : public QObject {
 public:
  explicit AccessibleData(QWidget* w) : QObject(w), widget_(w) { setObjectName(QLatin1String(kDataName)); }
  AccessibleRows rows;
  std::function<QString()> value;
  QPointer<QWidget> owner;  // for a popup list: the control it drops down from
  QPointer<QWidget> popup;  // for that control: its open popup

  void WatchRows() { widget_->installEventFilter(this); }

  bool eventFilter(QObject*, QEvent* e) override {
    switch (e->type()) {
      case QEvent::KeyPress:
      case QEvent::MouseButtonPress:
        // The list handles the event after this filter: look once it has.
        QMetaObject::invokeMethod(this, [this] { Sync(false); }, Qt::QueuedConnection);
        break;
      case QEvent::FocusIn: QMetaObject::invokeMethod(this, [this] { Sync(true); }, Qt::QueuedConnection); break;
      default: break;
    }
    return false;
  }

  void Sync(bool focusIn) {
    if (!rows.count) return;
    int marked = -1;
    for (int row = 0, n = rows.count(); rows.selected && row < n && marked < 0; ++row)
      if (rows.selected(row)) marked = row;
    const int current = rows.current ? rows.current() : -1;
    const int row = current >= 0 ? current : marked;
    if (row >= 0 && (focusIn || row != lastRow_ || marked != lastMarked_)) NotifyRowFocus(widget_, row);
    lastRow_ = row;
    lastMarked_ = marked;
  }

 private:
  QWidget* widget_;
  int lastRow_ = -1;
  int lastMarked_ = -1;
};

AccessibleData* DataOf(const QObject* w) {
  return w ? static_cast<AccessibleData*>(w->findChild<QObject*>(QLatin1String(kDataName), Qt::FindDirectChildrenOnly))
           : nullptr;
}

AccessibleData* EnsureData(QWidget* w) {
  if (AccessibleData* d = DataOf(w)) return d;
  return new AccessibleData(w);
}

// Drops the interface Qt may have cached for w, so the next query goes through the factory again.
void Requery(QWidget* w) {
  if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w))
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

QAccessible::Role RoleProperty(const QWidget* w, QAccessible::Role fallback) {
  const QVariant role = w->property(kAccessibleRoleProperty);
  return role.isValid() ? static_cast<QAccessible::Role>(role.toInt()) : fallback;
}

// Space is how every control of the toolkit is activated; an assistive press goes the same way.
void PressWithSpace(QWidget* w) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
  QApplication::sendEvent(w, &release);
}

// A control of the toolkit with the role its constructor gave it. Links and buttons can be pressed; an alert
// describes itself with its message.
class RoleAccessible : public QAccessibleWidget {
 public:
  RoleAccessible(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Description && role() == QAccessible::AlertMessage &&
        widget()->accessibleDescription().isEmpty())
      return widget()->accessibleName();
    return QAccessibleWidget::text(t);
  }
  // A checkable button (a radio button of a group, a check box) tells whether it is checked.
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    if (const auto* b = qobject_cast<const QAbstractButton*>(widget()); b && b->isCheckable()) {
      s.checkable = true;
      s.checked = b->isChecked();
    }
    return s;
  }
  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (pressable() && !names.contains(pressAction())) names.prepend(pressAction());
    return names;
  }
  void doAction(const QString& action) override {
    if (action == pressAction() && pressable()) return PressWithSpace(widget());
    QAccessibleWidget::doAction(action);
  }

 protected:
  bool pressable() const {
    const QAccessible::Role r = role();
    return (r == QAccessible::Link || r == QAccessible::Button || r == QAccessible::ComboBox ||
            r == QAccessible::RadioButton || r == QAccessible::CheckBox) &&
           widget()->isEnabled() && widget()->focusPolicy() != Qt::NoFocus;
  }
};

// Decoration: present so the tree stays whole, but invisible, nameless and childless.
class HiddenAccessible : public QAccessibleWidget {
 public:
  explicit HiddenAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::NoRole) {}
  QAccessible::State state() const override {
    QAccessible::State s;
    s.invisible = true;
    return s;
  }
  int childCount() const override { return 0; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  QString text(QAccessible::Text) const override { return QString(); }
};

// A box showing its chosen value; its open popup list is its child. The value is also the box's read-only
// text: a reader takes a closed combo box's value from its text, not from Qt's Value property.
class ValueAccessible : public RoleAccessible, public QAccessibleTextInterface {
 public:
  ValueAccessible(QWidget* w, QAccessible::Role role) : RoleAccessible(w, role) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return Value();
    return RoleAccessible::text(t);
  }
  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return RoleAccessible::interface_cast(t);
  }

  // --- the value as text: no caret, no selection
  QString text(int start, int end) const override { return Value().mid(start, qMax(0, end - start)); }
  int characterCount() const override { return int(Value().size()); }
  void selection(int, int* start, int* end) const override { *start = *end = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return {};
  }

  QAccessible::State state() const override {
    QAccessible::State s = RoleAccessible::state();
    s.hasPopup = true;
    s.expandable = true;
    s.expanded = popupOpen() != nullptr;
    s.collapsed = !s.expanded;
    return s;
  }
  int childCount() const override { return RoleAccessible::childCount() + (popupOpen() ? 1 : 0); }
  QAccessibleInterface* child(int index) const override {
    const int own = RoleAccessible::childCount();
    if (index < own) return RoleAccessible::child(index);
    QWidget* popup = popupOpen();
    return index == own && popup ? QAccessible::queryAccessibleInterface(popup) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    QWidget* popup = popupOpen();
    if (popup && child && child->object() == popup) return RoleAccessible::childCount();
    return RoleAccessible::indexOfChild(child);
  }
  QStringList actionNames() const override {
    QStringList names = RoleAccessible::actionNames();
    if (pressable()) names.append(showMenuAction());
    return names;
  }
  void doAction(const QString& action) override {
    if (action == showMenuAction() && pressable()) return PressWithSpace(widget());
    RoleAccessible::doAction(action);
  }

 private:
  QString Value() const {
    const AccessibleData* d = DataOf(widget());
    return d && d->value ? d->value() : QString();
  }
  QWidget* popupOpen() const {
    const AccessibleData* d = DataOf(widget());
    return d && d->popup && d->popup->isVisible() ? d->popup.data() : nullptr;
  }
};

class ListAccessible;

// One row of a custom-drawn list.
class RowAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  RowAccessible(QWidget* list, int row) : list_(list), row_(row) {}

  bool isValid() const override { return list_ && rows() && row_ < rows()->count(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return list_ ? list_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(list_.data()); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* focusChild() const override { return nullptr; }
  // A row with a tick is a check box to a reader: Orca speaks a list item's tick but never that it is
  // unavailable, and a check box's both.
  QAccessible::Role role() const override {
    if (!rows()) return QAccessible::ListItem;
    return rows()->checkable && rows()->itemRole == QAccessible::ListItem ? QAccessible::CheckBox : rows()->itemRole;
  }

  QString text(QAccessible::Text t) const override {
    if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value)) return QString();
    return t == QAccessible::Name ? rows()->text(row_) : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    if (!isValid() || !rows()->rect) return {};
    const QRect r = rows()->rect(row_);
    return r.isEmpty() ? QRect() : QRect(list_->mapToGlobal(r.topLeft()), r.size());
  }

  QAccessible::State state() const override {
    QAccessible::State s;
    if (!isValid()) return s;
    const AccessibleRows& r = *rows();
    const bool marked = r.selected && r.selected(row_);
    s.focusable = true;
    s.selectable = true;
    s.disabled = r.enabled && !r.enabled(row_);
    s.focused = list_->hasFocus() && r.current && r.current() == row_;
    if (r.checkable) {
      s.checkable = true;
      s.checked = marked;
    } else {
      s.selected = marked;
    }
    s.invisible = rect().isEmpty();
    s.offscreen = s.invisible;
    return s;
  }

  void* interface_cast(QAccessible::InterfaceType t) override {
    return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }
  QStringList actionNames() const override {
    QStringList names;
    if (!isValid()) return names;
    if (rows()->choose) names << pressAction();
    for (const AccessibleRows::Action& a : rows()->actions)
      if (!a.available || a.available(row_)) names << a.name;
    return names;
  }
  void doAction(const QString& action) override {
    if (!isValid()) return;
    if (action == pressAction() && rows()->choose) return rows()->choose(row_);
    for (const AccessibleRows::Action& a : rows()->actions)
      if (a.name == action && (!a.available || a.available(row_)) && a.run) return a.run(row_);
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

  int row() const { return row_; }

 private:
  const AccessibleRows* rows() const {
    const AccessibleData* d = DataOf(list_.data());
    return d && d->rows.count ? &d->rows : nullptr;
  }
  QPointer<QWidget> list_;
  int row_;
};

// A custom-drawn list: its widget children (header, scroll bar) and then its rows.
class ListAccessible : public RoleAccessible {
 public:
  ListAccessible(QWidget* w, QAccessible::Role role) : RoleAccessible(w, role) {}
  ~ListAccessible() override { Reset(); }

  void Reset() {
    for (QAccessible::Id id : std::as_const(items_)) QAccessible::deleteAccessibleInterface(id);
    items_.clear();
  }

  QAccessibleInterface* Item(int row) const {
    if (row < 0 || row >= rowCount()) return nullptr;
    auto it = items_.constFind(row);
    if (it != items_.constEnd()) return QAccessible::accessibleInterface(*it);
    auto* item = new RowAccessible(widget(), row);
    items_.insert(row, QAccessible::registerAccessibleInterface(item));
    return item;
  }

  QString text(QAccessible::Text t) const override {
    QString s = RoleAccessible::text(t);
    if (t == QAccessible::Name && s.isEmpty()) {  // a drop-down is named like the box it belongs to
      if (const AccessibleData* d = DataOf(widget()); d && d->owner) s = d->owner->accessibleName();
    }
    return s;
  }
  QAccessibleInterface* parent() const override {
    if (const AccessibleData* d = DataOf(widget()); d && d->owner) return QAccessible::queryAccessibleInterface(d->owner);
    return RoleAccessible::parent();
  }
  int childCount() const override { return RoleAccessible::childCount() + rowCount(); }
  QAccessibleInterface* child(int index) const override {
    const int own = RoleAccessible::childCount();
    return index < own ? RoleAccessible::child(index) : Item(index - own);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child && !child->object()) {
      for (auto it = items_.constBegin(); it != items_.constEnd(); ++it)
        if (QAccessible::accessibleInterface(*it) == child) return RoleAccessible::childCount() + it.key();
      return -1;
    }
    return RoleAccessible::indexOfChild(child);
  }
  QAccessibleInterface* focusChild() const override {
    const AccessibleData* d = DataOf(widget());
    if (!widget()->hasFocus() || !d || !d->rows.current) return nullptr;
    return Item(d->rows.current());
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    for (int row = 0; row < rowCount(); ++row)
      if (QAccessibleInterface* item = Item(row); item->rect().contains(x, y)) return item;
    return RoleAccessible::childAt(x, y);
  }

 private:
  int rowCount() const {
    const AccessibleData* d = DataOf(widget());
    return d && d->rows.count ? d->rows.count() : 0;
  }
  mutable QHash<int, QAccessible::Id> items_;
};

bool HiddenOrInside(const QObject* o);

// The program as a reader meets it: its windows, without those hidden from accessibility (the popup veil:
// a dimmed, nameless window under the popup that is what a reader should meet).
class ApplicationAccessible : public QAccessibleApplication {
 public:
  int childCount() const override { return int(Windows().size()); }
  QAccessibleInterface* child(int index) const override {
    const QObjectList windows = Windows();
    return index >= 0 && index < windows.size() ? QAccessible::queryAccessibleInterface(windows[index]) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child ? int(Windows().indexOf(child->object())) : -1;
  }

 private:
  static QObjectList Windows() {
    QObjectList out;
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
      if (window->type() == Qt::Popup || window->type() == Qt::Desktop) continue;  // as Qt's own list
      QAccessibleInterface* root = window->accessibleRoot();
      if (!root || !root->object() || HiddenOrInside(root->object())) continue;
      if (root->object()->objectName() == QLatin1String(kSpokenStatusWindow)) continue;  // no window to visit
      out << root->object();
    }
    return out;
  }
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
  if (object && object == QCoreApplication::instance()) return new ApplicationAccessible;
  auto* w = qobject_cast<QWidget*>(object);
  if (!w) return nullptr;
  if (w->property(kHiddenProperty).toBool()) return new HiddenAccessible(w);
  const AccessibleData* d = DataOf(w);
  if (d && d->rows.count) return new ListAccessible(w, RoleProperty(w, QAccessible::List));
  if (d && d->value) return new ValueAccessible(w, RoleProperty(w, QAccessible::ComboBox));
  const QVariant role = w->property(kAccessibleRoleProperty);
  if (role.isValid()) return new RoleAccessible(w, static_cast<QAccessible::Role>(role.toInt()));
  return nullptr;
}

// Hidden itself, or inside a hidden widget of its own window (a popup window of a hidden veil is not hidden).
bool HiddenOrInside(const QObject* o) {
  for (; o; o = o->parent()) {
    if (o->property(kHiddenProperty).toBool()) return true;
    if (o->isWidgetType() && static_cast<const QWidget*>(o)->isWindow()) return false;
  }
  return false;
}

QAccessible::UpdateHandler previousHandler = nullptr;
void FilterEvent(QAccessibleEvent* event);

void Forward(QAccessibleEvent* event) {
  if (previousHandler) return previousHandler(event);
  // No handler before ours: the platform's bridge gets the event.
  QAccessible::installUpdateHandler(nullptr);
  QAccessible::updateAccessibility(event);
  QAccessible::installUpdateHandler(FilterEvent);
}

QString Masked(const QString& text) { return QString(text.size(), kMask); }

// The object of the last focus event a reader was sent.
QPointer<QObject> readerFocus;

// Qt moves a field's caret as the field takes the focus and sends the focus event after: a reader that gets
// the caret first takes the field as focused without a word, and then says nothing at the focus event (Tab into
// a field was silent more often than not). A field's caret and selection events before its focus event are
// left out.
bool CaretBeforeFocus(const QAccessibleEvent* event, const QLineEdit* edit) {
  return edit && readerFocus != edit &&
         (event->type() == QAccessible::TextCaretMoved || event->type() == QAccessible::TextSelectionChanged);
}

void FilterEvent(QAccessibleEvent* event) {
  QObject* object = event->object();
  if (HiddenOrInside(object)) return;
  if (event->type() == QAccessible::Focus) readerFocus = object;
  auto* edit = qobject_cast<QLineEdit*>(object);
  if (CaretBeforeFocus(event, edit)) return;
  if (!edit || edit->echoMode() == QLineEdit::Normal) return Forward(event);
  switch (event->type()) {
    case QAccessible::TextInserted: {
      auto* e = static_cast<QAccessibleTextInsertEvent*>(event);
      QAccessibleTextInsertEvent masked(object, e->changePosition(), Masked(e->textInserted()));
      return Forward(&masked);
    }
    case QAccessible::TextRemoved: {
      auto* e = static_cast<QAccessibleTextRemoveEvent*>(event);
      QAccessibleTextRemoveEvent masked(object, e->changePosition(), Masked(e->textRemoved()));
      return Forward(&masked);
    }
    case QAccessible::TextUpdated: {
      auto* e = static_cast<QAccessibleTextUpdateEvent*>(event);
      QAccessibleTextUpdateEvent masked(object, e->changePosition(), Masked(e->textRemoved()),
                                        Masked(e->textInserted()));
      return Forward(&masked);
    }
    default: return Forward(event);
  }
}

}  // namespace

void InstallAccessibility() {
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(Factory);
    // The program's own node may have been made before the factory was there.
    if (QCoreApplication::instance())
      if (QAccessibleInterface* app = QAccessible::queryAccessibleInterface(QCoreApplication::instance()))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(app));
    return true;
  }();
  (void)factoryInstalled;
  // Kept in front of whatever handler was installed since (a test's recorder, for one).
  const QAccessible::UpdateHandler previous = QAccessible::installUpdateHandler(FilterEvent);
  if (previous != FilterEvent) previousHandler = previous;
}

void SetAccessibleRole(QWidget* w, QAccessible::Role role) {
  InstallAccessibility();
  w->setProperty(kAccessibleRoleProperty, static_cast<int>(role));
  Requery(w);
}

void ExposeRows(QWidget* list, AccessibleRows rows) {
  InstallAccessibility();
  AccessibleData* d = EnsureData(list);
  d->rows = std::move(rows);
  d->WatchRows();
  Requery(list);
}

namespace {
// The accessible child index of a list's row; -1 when no reader listens or the row has none.
int RowChild(QWidget* list, int row) {
  if (!QAccessible::isActive() || row < 0) return -1;
  auto* iface = dynamic_cast<ListAccessible*>(QAccessible::queryAccessibleInterface(list));
  return iface ? iface->indexOfChild(iface->Item(row)) : -1;
}
}  // namespace

void NotifyRowFocus(QWidget* list, int row) {
  const int child = RowChild(list, row);
  if (child < 0) return;
  QAccessibleEvent selection(list, QAccessible::SelectionAdd);
  selection.setChild(child);
  QAccessible::updateAccessibility(&selection);
  if (list->hasFocus()) {
    QAccessibleEvent focus(list, QAccessible::Focus);
    focus.setChild(child);
    QAccessible::updateAccessibility(&focus);
  }
}

void NotifyRowChecked(QWidget* list, int row) {
  const int child = RowChild(list, row);
  if (child < 0) return;
  QAccessible::State changed;
  changed.checked = true;
  QAccessibleStateChangeEvent event(list, changed);
  event.setChild(child);
  QAccessible::updateAccessibility(&event);
}

void NotifyRowsReset(QWidget* list) {
  if (!QAccessible::isActive()) return;
  if (auto* iface = dynamic_cast<ListAccessible*>(QAccessible::queryAccessibleInterface(list))) iface->Reset();
  QAccessibleTableModelChangeEvent reset(list, QAccessibleTableModelChangeEvent::ModelReset);
  QAccessible::updateAccessibility(&reset);
}

void NotifyRowsArrived(QWidget* list, const QString& countText) {
  NotifyRowsReset(list);
  if (QAccessible::isActive())
    if (auto* iface = dynamic_cast<ListAccessible*>(QAccessible::queryAccessibleInterface(list)))
      for (int row = 0; QAccessibleInterface* item = iface->Item(row); ++row) {
        QAccessibleEvent created(list, QAccessible::ObjectCreated);
        created.setChild(iface->indexOfChild(item));
        QAccessible::updateAccessibility(&created);
      }
  Speak(list, countText);
}

void SetAccessibleOwner(QWidget* popup, QWidget* owner) {
  InstallAccessibility();
  EnsureData(popup)->owner = owner;
  EnsureData(owner)->popup = popup;
  Requery(popup);
}

void ExposeValue(QWidget* box, std::function<QString()> value) {
  InstallAccessibility();
  EnsureData(box)->value = std::move(value);
  Requery(box);
}

void NotifyValueChanged(QWidget* box) {
  if (!QAccessible::isActive()) return;
  QAccessibleEvent changed(box, QAccessible::ValueChanged);
  QAccessible::updateAccessibility(&changed);
}

void HideFromAccessibility(QWidget* w) {
  InstallAccessibility();
  w->setProperty(kHiddenProperty, true);
  Requery(w);
}

bool IsHiddenFromAccessibility(const QObject* o) { return HiddenOrInside(o); }

namespace {

// The status bar for a window's spoken messages and its one notification (see Speak in the header). It lives
// in a small window of its own, off every screen, that never takes the focus or input: inside a dialog, Orca
// would read the whole dialog (its name and its texts) before each message.
class SpokenStatus : public QWidget {
 public:
  explicit SpokenStatus(QWidget* window)
      // A tool tip's kind of window: never activated (on any platform, the offscreen one too) and passed by
      // the window manager.
      : QWidget(window, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                            Qt::WindowTransparentForInput),
        bar_(new QWidget(this)) {
    for (QWidget*& notice : notices_) notice = new QWidget(bar_);
    setObjectName(QLatin1String(kSpokenStatusWindow));
    setAttribute(Qt::WA_ShowWithoutActivating);
    QList<QWidget*> all{this, bar_};
    for (QWidget* notice : notices_) all << notice;
    for (QWidget* w : all) {
      w->setAttribute(Qt::WA_TransparentForMouseEvents);
      w->setFocusPolicy(Qt::NoFocus);
      w->setGeometry(0, 0, 1, 1);
    }
    move(-10000, -10000);
    SetAccessibleRole(this, QAccessible::Window);
    SetAccessibleRole(bar_, QAccessible::StatusBar);
    for (QWidget* notice : notices_) {
      SetAccessibleRole(notice, QAccessible::Notification);
      notice->hide();
    }
    show();
  }

  // Messages said close together go out one by one: a reader asks for the notification's name when it gets
  // to the event, and would find only the last of them.
  void Say(const QString& text) {
    last_ = text;
    pending_ << text;
    if (!spacing_.isActive()) SayNext();
  }
  const QString& last() const { return last_; }

 protected:
  void timerEvent(QTimerEvent* e) override {
    if (e->timerId() != spacing_.timerId()) return QWidget::timerEvent(e);
    if (pending_.isEmpty()) return spacing_.stop();
    SayNext();
  }

 private:
  static constexpr int kSpacingMs = 250;
  // Each message on the next of a few notifications: a reader that is behind drops an earlier "showing" of the
  // same object when a later one comes.
  void SayNext() {
    QWidget* notice = notices_[next_];
    next_ = (next_ + 1) % notices_.size();
    notice->hide();
    notice->setAccessibleName(pending_.takeFirst());
    notice->show();  // "showing" is what Orca speaks
    spacing_.start(kSpacingMs, this);
  }

  QWidget* bar_;
  std::array<QWidget*, 4> notices_{};
  std::size_t next_ = 0;
  QString last_;
  QStringList pending_;
  QBasicTimer spacing_;
};

SpokenStatus* StatusOf(const QWidget* w) {
  const QWidget* window = w ? w->window() : nullptr;
  return window ? window->findChild<SpokenStatus*>(QLatin1String(kSpokenStatusWindow), Qt::FindDirectChildrenOnly)
                : nullptr;
}

}  // namespace

void Speak(QWidget* anywhereInWindow, const QString& text) {
  if (!anywhereInWindow || text.isEmpty()) return;
  InstallAccessibility();
  SpokenStatus* status = StatusOf(anywhereInWindow);
  if (!status) status = new SpokenStatus(anywhereInWindow->window());
  status->Say(text);
}

QString LastSpoken(const QWidget* w) {
  const SpokenStatus* status = StatusOf(w);
  return status ? status->last() : QString();
}

void Announce(QWidget* source, const QString& text) {
  InstallAccessibility();
  if (source->property(kAccessibleRoleProperty).toInt() != QAccessible::AlertMessage)
    SetAccessibleRole(source, QAccessible::AlertMessage);
  source->setAccessibleName(text);
  source->setAccessibleDescription(text);
  if (text.isEmpty()) return;
  Speak(source, text);
  if (!QAccessible::isActive()) return;
  QAccessibleEvent alert(source, QAccessible::Alert);
  QAccessible::updateAccessibility(&alert);
}

void AnnounceName(QWidget* source) {
  if (source->accessibleName().isEmpty()) return;
  Speak(source, source->accessibleName());
  if (!QAccessible::isActive()) return;
  QAccessibleEvent alert(source, QAccessible::Alert);
  QAccessible::updateAccessibility(&alert);
}

void SetFieldHint(QWidget* field, const QString& hint) {
  InstallAccessibility();
  field->setProperty(kHintProperty, hint);
  field->setAccessibleDescription(hint);
}

void SetFieldError(QWidget* field, const QString& message, QWidget* alertSource) {
  field->setAccessibleDescription(message.isEmpty() ? field->property(kHintProperty).toString() : message);
  if (!message.isEmpty() && alertSource) Announce(alertSource, message);
}

QString SpokenCaption(const QString& caption) {
  static const QRegularExpression arrows(QStringLiteral("^[\\s<>]+|[\\s<>]+$"));
  return QString(caption).remove(arrows);
}

}  // namespace vrx::ui
