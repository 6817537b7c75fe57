#pragma once
// What a screen reader would meet, seen in-process through Qt's accessibility interfaces (no bus needed):
// the tree under a window as a table of role and name, the controls in it that have no name, and every
// accessibility event the program sends.

#include <QAccessible>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

namespace vrx::test {

// Turns accessibility on as a screen reader on the desktop's bus does, so widgets send their events.
void ActivateAccessibility();

struct AccessibleNode {
  QString path;  // the roles from the window down, for a failure message
  QAccessible::Role role;
  QString name;
  QString description;
  QAccessible::State state;
};

// The rows a custom list exposes to a reader (its children that are not widgets: list items, or check boxes
// for rows with a tick), in order.
inline QList<QAccessibleInterface*> ListItems(QWidget* list) {
  QList<QAccessibleInterface*> items;
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(list);
  for (int i = 0; iface && i < iface->childCount(); ++i)
    if (!iface->child(i)->object()) items << iface->child(i);
  return items;
}

inline QString RoleName(QAccessible::Role role) {
  return QString::number(int(role), 16).prepend(QStringLiteral("0x"));
}

// The visible nodes under root, depth first.
inline void CollectNodes(QAccessibleInterface* iface, const QString& path, std::vector<AccessibleNode>& out) {
  if (!iface || !iface->isValid() || iface->state().invisible) return;
  const QString here = path + "/" + RoleName(iface->role());
  out.push_back({here, iface->role(), iface->text(QAccessible::Name), iface->text(QAccessible::Description),
                 iface->state()});
  for (int i = 0; i < iface->childCount(); ++i) CollectNodes(iface->child(i), here, out);
}

inline std::vector<AccessibleNode> VisibleNodes(QWidget* window) {
  std::vector<AccessibleNode> nodes;
  CollectNodes(QAccessible::queryAccessibleInterface(window), QString(), nodes);
  return nodes;
}

// A node a person meets on its own: anything that takes focus, and every text, picture, link, button, list
// row and alert. Each must say what it is.
inline bool MustBeNamed(const AccessibleNode& n) {
  switch (n.role) {
    case QAccessible::Button:
    case QAccessible::Link:
    case QAccessible::ComboBox:
    case QAccessible::List:
    case QAccessible::ListItem:
    case QAccessible::EditableText:
    case QAccessible::StaticText:
    case QAccessible::Graphic:
    case QAccessible::AlertMessage:
    case QAccessible::Dialog:
    case QAccessible::Window: return true;
    default: return n.state.focusable;
  }
}

// "role | name" lines of the table, and the nodes that break the rule, for the test log.
inline QStringList NamelessNodes(const std::vector<AccessibleNode>& nodes) {
  QStringList bad;
  for (const AccessibleNode& n : nodes)
    if (MustBeNamed(n) && n.name.trimmed().isEmpty()) bad << n.path;
  return bad;
}

inline QString Table(const std::vector<AccessibleNode>& nodes) {
  QStringList lines;
  for (const AccessibleNode& n : nodes)
    if (MustBeNamed(n)) lines << QStringLiteral("  %1 | %2").arg(RoleName(n.role), n.name.simplified());
  return lines.join('\n');
}

// Records every accessibility event as the type and every text it carries. Install it before the widgets it
// should watch are made: the toolkit puts its own filter in front of the handler it finds.
class EventLog {
 public:
  struct Entry {
    QAccessible::Event type;
    QObject* object;    // may be gone by the time the log is read: compare it, do not use it
    QString className;  // of the object when it sent the event
    int child;
    QStringList texts;  // inserted, removed and the interface's name and value at the time
  };

  EventLog() {
    ActivateAccessibility();
    instance() = this;
    previous_ = QAccessible::installUpdateHandler(&EventLog::Record);
  }
  ~EventLog() {
    QAccessible::installUpdateHandler(previous_);
    instance() = nullptr;
  }
  const std::vector<Entry>& entries() const { return entries_; }
  void clear() { entries_.clear(); }
  bool any(QAccessible::Event type, const QObject* object = nullptr) const {
    for (const Entry& e : entries_)
      if (e.type == type && (!object || e.object == object)) return true;
    return false;
  }
  // Whether text was spoken (ui::Speak: a notification became showing with text as its name).
  bool spoken(const QString& text) const {
    for (const Entry& e : entries_)
      if (e.type == QAccessible::ObjectShow && e.texts.contains(text)) return true;
    return false;
  }
  // Every text of every event, for "the password never shows" checks.
  QStringList allTexts() const {
    QStringList out;
    for (const Entry& e : entries_) out += e.texts;
    return out;
  }

 private:
  static EventLog*& instance() {
    static EventLog* log = nullptr;
    return log;
  }
  static void Record(QAccessibleEvent* event) {
    EventLog* log = instance();
    if (!log) return;
    Entry e{event->type(), event->object(),
            QString::fromLatin1(event->object() ? event->object()->metaObject()->className() : ""), event->child(), {}};
    switch (event->type()) {
      case QAccessible::TextInserted: e.texts << static_cast<QAccessibleTextInsertEvent*>(event)->textInserted(); break;
      case QAccessible::TextRemoved: e.texts << static_cast<QAccessibleTextRemoveEvent*>(event)->textRemoved(); break;
      case QAccessible::TextUpdated:
        e.texts << static_cast<QAccessibleTextUpdateEvent*>(event)->textInserted()
                << static_cast<QAccessibleTextUpdateEvent*>(event)->textRemoved();
        break;
      default: break;
    }
    if (QAccessibleInterface* iface = event->accessibleInterface(); iface && iface->isValid())
      e.texts << iface->text(QAccessible::Name) << iface->text(QAccessible::Value);
    log->entries_.push_back(std::move(e));
  }

  QAccessible::UpdateHandler previous_ = nullptr;
  std::vector<Entry> entries_;
};

}  // namespace vrx::test
