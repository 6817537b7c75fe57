// The toolkit as a screen reader meets it, through Qt's accessibility interfaces: typed passwords never leave
// in an event, the language box keeps its caption as name and shows its value, its drop-down is a named list
// of items inside the window's tree that the arrows walk, alerts are alerts, and decoration stays out.
#include <QtTest>

#include "AccessibleTree.h"
#include "ui/Accessible.h"
#include "ui/Alerts.h"
#include "ui/Buttons.h"
#include "ui/ComboBox.h"
#include "ui/EditCtrl.h"
#include "ui/Labels.h"
#include "ui/Links.h"
#include "pages/cameras/CamListCtrl.h"
#include "ui/Overlay.h"

using namespace vrx;
using vrx::test::EventLog;

namespace {

QAccessibleInterface* Iface(QObject* o) { return QAccessible::queryAccessibleInterface(o); }

// The accessible children of iface whose role is role.
QList<QAccessibleInterface*> ChildrenWithRole(QAccessibleInterface* iface, QAccessible::Role role) {
  QList<QAccessibleInterface*> out;
  for (int i = 0; iface && i < iface->childCount(); ++i)
    if (QAccessibleInterface* c = iface->child(i); c && c->role() == role) out << c;
  return out;
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private slots:
  // A password typed, corrected and pasted over never reaches an event in clear; a plain field still does, so
  // the log is known to be listening.
  void typedPasswordsNeverReachAnEvent() {
    EventLog log;
    QWidget window;
    auto* password = new ui::CMyEditCtrl2(&window, 1);
    password->setPasswordMode(true);
    password->setAccessibleName(QStringLiteral("Password"));
    ui::SetFieldHint(password, QStringLiteral("6-31 characters"));
    auto* plain = new QLineEdit(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    password->setFocus();

    const QString secret = QStringLiteral("Qz7#Vigil");
    QTest::keyClicks(password, secret);
    QTest::keyClick(password, Qt::Key_Backspace);
    password->selectAll();
    QTest::keyClicks(password, QStringLiteral("Xy"));
    password->setText(secret);  // a page filling the field
    plain->setFocus();  // typed as a person types: into the focused field
    QTest::keyClicks(plain, QStringLiteral("visible"));

    QVERIFY(log.any(QAccessible::TextInserted, password));
    const QStringList texts = log.allTexts();
    for (const QString& text : texts)
      for (const QString& leak : {secret.left(4), QStringLiteral("Xy"), QStringLiteral("Qz")})
        QVERIFY2(!text.contains(leak), qPrintable("leaked: " + text));
    QVERIFY2(texts.contains(QStringLiteral("visible")) || texts.join("").contains("visible"),
             "the plain field's text should reach the log");

    // Asked directly, the field gives its caption, its hint and no clear text either.
    QAccessibleInterface* field = Iface(password);
    QCOMPARE(field->text(QAccessible::Name), QStringLiteral("Password"));
    QCOMPARE(field->text(QAccessible::Description), QStringLiteral("6-31 characters"));
    QVERIFY(field->state().passwordEdit);
    QVERIFY(!field->text(QAccessible::Value).contains(secret.left(2)));
    if (QAccessibleTextInterface* text = field->textInterface())
      QVERIFY(!text->text(0, text->characterCount()).contains(secret.left(2)));
  }

  // Arrows on the closed box open the drop-down instead of switching the language at each press; the drop-down
  // is a named list in the box's subtree whose focused item follows the arrows; Space chooses.
  void languageBoxIsWalkedInItsDropDown() {
    EventLog log;
    QWidget window;
    window.resize(400, 300);
    auto* box = new ui::CAvrelComboBox(&window, 7);
    box->setItems({"English", "Português", "Русский", "Español"});
    box->setAccessibleName(QStringLiteral("Select your Language:"));
    box->setGeometry(50, 200, 180, 32);
    QSignalSpy chosen(box, &ui::CAvrelComboBox::activated);
    window.show();
    QApplication::setActiveWindow(&window);
    box->setFocus(Qt::TabFocusReason);

    QAccessibleInterface* combo = Iface(box);
    QCOMPARE(combo->role(), QAccessible::ComboBox);
    QCOMPARE(combo->text(QAccessible::Name), QStringLiteral("Select your Language:"));
    QCOMPARE(combo->text(QAccessible::Value), QStringLiteral("English"));

    QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(chosen.count(), 0);
    ui::CComboBoxList* dropDown = box->dropDown();
    QVERIFY(dropDown && dropDown->isVisible());
    QTRY_VERIFY(dropDown->hasFocus());

    QAccessibleInterface* list = Iface(dropDown);
    QCOMPARE(list->role(), QAccessible::List);
    QCOMPARE(list->text(QAccessible::Name), QStringLiteral("Select your Language:"));
    QCOMPARE(list->parent()->object(), box);
    QVERIFY(combo->indexOfChild(list) >= 0);
    const QList<QAccessibleInterface*> items = ChildrenWithRole(list, QAccessible::ListItem);
    QCOMPARE(items.size(), 4);
    QCOMPARE(items[3]->text(QAccessible::Name), QStringLiteral("Español"));
    QVERIFY(items[0]->state().selected);

    log.clear();
    QTest::keyClick(dropDown, Qt::Key_Down);
    QTest::keyClick(dropDown, Qt::Key_Down);
    QTRY_VERIFY(log.any(QAccessible::Focus, dropDown));
    QTRY_VERIFY(items[2]->state().focused);
    QCOMPARE(chosen.count(), 0);

    QTest::keyClick(dropDown, Qt::Key_Space);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(box->currentIndex(), 2);
    QCOMPARE(combo->text(QAccessible::Value), QStringLiteral("Русский"));
    QCOMPARE(combo->text(QAccessible::Name), QStringLiteral("Select your Language:"));
    QVERIFY(log.any(QAccessible::ValueChanged, box));
  }

  // Alerts carry the alert role with their message as description; their picture is decoration.
  void alertsAreAlertsWithTheirMessage_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("message");
    QTest::newRow("format warning") << 1 << "Formatting will permanently erase all data on your hard drive(s).";
    QTest::newRow("no disk") << 0 << "Your hard drive can not be found.";
    QTest::newRow("error default") << 14 << "Check Network Failed!";
  }
  void alertsAreAlertsWithTheirMessage() {
    QFETCH(int, which);
    QFETCH(QString, message);
    QWidget veil;
    std::unique_ptr<ui::CPopupPage> popup;
    if (which == 14)
      popup = std::make_unique<ui::CErrorPage>(&veil, QString());
    else
      popup = std::make_unique<ui::CAlarmDisplayPage>(&veil, which, 1);
    popup->show();
    QAccessibleInterface* alert = Iface(popup.get());
    QCOMPARE(alert->role(), QAccessible::AlertMessage);
    QVERIFY2(alert->text(QAccessible::Description).startsWith(message), qPrintable(alert->text(QAccessible::Description)));
    QVERIFY(!alert->text(QAccessible::Name).isEmpty());
    const auto nodes = vrx::test::VisibleNodes(popup.get());
    QVERIFY2(vrx::test::NamelessNodes(nodes).isEmpty(),
             qPrintable(vrx::test::NamelessNodes(nodes).join("\n") + "\n" + vrx::test::Table(nodes)));
    for (const auto& n : nodes) QVERIFY2(n.role != QAccessible::Graphic, "the alert picture is decoration");
  }

  // The veil and anything hidden from assistive technology neither shows in the tree nor sends events.
  void decorationStaysOutOfTheTreeAndTheEvents() {
    EventLog log;
    QWidget window;
    auto* spinner = new ui::CImageBox(&window);
    ui::HideFromAccessibility(spinner);
    window.show();
    log.clear();
    for (int i = 0; i < 4; ++i) spinner->setVisible(i % 2 == 0);
    QVERIFY(!log.any(QAccessible::ObjectShow, spinner) && !log.any(QAccessible::ObjectHide, spinner));
    QVERIFY(Iface(spinner)->state().invisible);

    ui::CTransparentPage veil(&window);
    QVERIFY(Iface(&veil)->state().invisible);
    QVERIFY(Iface(&veil)->text(QAccessible::Name).isEmpty());
  }

  void captionsAreSpokenWithoutTheirArrows_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("next") << "NEXT   >" << "NEXT";
    QTest::newRow("back") << "<   BACK" << "BACK";
    QTest::newRow("spanish") << "SIGUIENTE   >" << "SIGUIENTE";
    QTest::newRow("plain") << "START" << "START";
  }
  void captionsAreSpokenWithoutTheirArrows() {
    QFETCH(QString, caption);
    QFETCH(QString, spoken);
    QCOMPARE(ui::SpokenCaption(caption), spoken);
  }

  // Every message the program speaks becomes a notification inside a status bar that turns showing (what Orca
  // speaks: the name alone); the same words again are shown again, and nothing of it takes the focus or
  // counts as one of the program's windows.
  void spokenMessagesAreNotificationsThatBecomeShowing() {
    EventLog log;
    QWidget window;
    auto* label = new ui::CBaseStatic(&window);
    auto* field = new QLineEdit(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    field->setFocus();

    ui::Announce(label, QStringLiteral("Four cameras are the most."));
    ui::Announce(label, QStringLiteral("Four cameras are the most."));
    ui::Speak(field, QStringLiteral("5 cameras found"));
    // Said one after another, a moment apart, so a reader that is behind still gets each.
    QTRY_VERIFY(log.spoken(QStringLiteral("5 cameras found")));

    int shown = 0;
    for (const EventLog::Entry& e : log.entries()) {
      if (e.type != QAccessible::ObjectShow || !e.texts.contains(QStringLiteral("Four cameras are the most.")))
        continue;
      ++shown;
      QAccessibleInterface* notice = Iface(e.object);
      QCOMPARE(notice->role(), QAccessible::Notification);
      QCOMPARE(notice->parent()->role(), QAccessible::StatusBar);
      // In a window of its own: Orca reads no dialog before the message.
      QCOMPARE(notice->parent()->parent()->role(), QAccessible::Window);
      QVERIFY(static_cast<QWidget*>(notice->parent()->parent()->object())->isWindow());
      QVERIFY(!static_cast<QWidget*>(notice->parent()->parent()->object())->isActiveWindow());
    }
    QCOMPARE(shown, 2);
    QVERIFY(log.spoken(QStringLiteral("5 cameras found")));
    QCOMPARE(ui::LastSpoken(field), QStringLiteral("5 cameras found"));
    QCOMPARE(QApplication::focusWidget(), field);
    QAccessibleInterface* app = Iface(qApp);
    for (int i = 0; i < app->childCount(); ++i) QCOMPARE(app->child(i)->object(), &window);
    QCOMPARE(Iface(label)->role(), QAccessible::AlertMessage);  // the label itself still reads as the alert
  }

  // A check box in toggle mode has one state, whatever presses it: Space or a click flip it once, the tree
  // reports what the picture shows, and each press sends one state change.
  void toggleBoxFlipsOnceAndReportsWhatItShows_data() {
    QTest::addColumn<bool>("byMouse");
    QTest::addColumn<int>("presses");
    for (int presses : {1, 2, 3}) {
      QTest::addRow("Space x%d", presses) << false << presses;
      QTest::addRow("click x%d", presses) << true << presses;
    }
  }
  void toggleBoxFlipsOnceAndReportsWhatItShows() {
    QFETCH(bool, byMouse);
    QFETCH(int, presses);
    EventLog log;
    QWidget window;
    auto* box = new ui::CAvrelButton(&window, 1053);
    box->setToggleMode(true, true);
    ui::SetAccessibleRole(box, QAccessible::CheckBox);
    box->setGeometry(10, 10, 30, 25);
    window.show();
    QApplication::setActiveWindow(&window);
    box->setFocus(Qt::TabFocusReason);
    log.clear();
    for (int i = 0; i < presses; ++i) {
      if (byMouse) QTest::mouseClick(box, Qt::LeftButton);
      else QTest::keyClick(box, Qt::Key_Space);
    }
    const bool on = presses % 2 == 1;
    QCOMPARE(box->selected(), on);
    QCOMPARE(box->isChecked(), on);
    QCOMPARE(box->currentLook().state, on ? int(ui::kStatePressed) : int(ui::kStateNormal));
    QCOMPARE(bool(Iface(box)->state().checked), on);
    int changes = 0;
    for (const EventLog::Entry& e : log.entries()) changes += e.type == QAccessible::StateChanged && e.object == box;
    QCOMPARE(changes, presses);
    box->click();  // from code: flips once too
    QCOMPARE(box->selected(), !on);
  }

  // A focused button that is disabled (Next while its work runs) lets the focus go rather than passing it to
  // the next control (Minimise, heard before the waiting veil).
  void disabledButtonPassesNoFocusOn() {
    QWidget window;
    auto* next = new ui::CAvrelButton(&window, 1);
    auto* minimise = new ui::CAvrelButton(&window, 2);
    window.show();
    QApplication::setActiveWindow(&window);
    next->setFocus(Qt::TabFocusReason);
    next->setEnabled(false);
    QVERIFY(!minimise->hasFocus());
    next->setEnabled(true);
    next->setFocus(Qt::TabFocusReason);
    QTest::keyClick(next, Qt::Key_Tab);  // Tab still moves on
    QVERIFY(minimise->hasFocus());
  }

  // The eye of a password field takes no text: keys typed on it neither reach the password nor an event.
  void eyeTakesNoText() {
    EventLog log;
    QWidget window;
    auto* field = new ui::CMyEditCtrl2(&window, 5001);
    field->setPasswordMode(true);
    field->setGeometry(10, 10, 200, 24);
    window.show();
    QApplication::setActiveWindow(&window);
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("door4321"));
    ui::CRevealButton* eye = field->revealButton();
    eye->setFocus(Qt::TabFocusReason);
    log.clear();
    QTest::keyClicks(eye, QStringLiteral("xyz"));
    QTest::keyClick(eye, Qt::Key_Backspace);
    QTest::keyClick(eye, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(field->text(), QStringLiteral("door4321"));
    QVERIFY(!log.any(QAccessible::TextInserted) && !log.any(QAccessible::TextRemoved));
    QTest::keyClick(eye, Qt::Key_Space);
    QVERIFY(field->passwordShown());
  }

  // Rows with a tick are check boxes to a reader: checked or not, and unavailable while grey.
  void tickedRowsAreCheckBoxes() {
    QWidget list;
    std::vector<bool> ticked{true, false, false};
    ui::AccessibleRows rows;
    rows.count = [] { return 3; };
    rows.text = [](int row) { return QStringLiteral("camera %1").arg(row + 1); };
    rows.selected = [&ticked](int row) { return bool(ticked[std::size_t(row)]); };
    rows.enabled = [](int row) { return row != 2; };
    rows.checkable = true;
    ui::ExposeRows(&list, rows);
    const QList<QAccessibleInterface*> items = vrx::test::ListItems(&list);
    QCOMPARE(items.size(), 3);
    for (QAccessibleInterface* item : items) QCOMPARE(item->role(), QAccessible::CheckBox);
    QVERIFY(items[0]->state().checked && !items[0]->state().disabled);
    QVERIFY(!items[1]->state().checked && items[1]->state().checkable);
    QVERIFY(items[2]->state().disabled);
  }

  // An empty camera list is no Tab stop; rows that arrive are reported as new children with their count
  // spoken, and the keyboard lands on the first.
  void arrivingRowsAreAnnouncedAndTakeTheFocus() {
    EventLog log;
    QWidget window;
    window.resize(500, 300);
    auto* before = new QLineEdit(&window);
    auto* list = new CCamListCtrl(&window, 1028);
    auto* after = new QLineEdit(&window);
    list->InsertColumn({QString(), 86, Qt::AlignHCenter});
    list->setGeometry(0, 40, 480, 200);
    ui::AccessibleRows rows;
    rows.count = [list] { return list->rowCount(); };
    rows.text = [](int row) { return QString::number(row + 1); };
    rows.current = [list] { return list->currentRow(); };
    rows.checkable = true;
    ui::ExposeRows(list, rows);
    window.show();
    QApplication::setActiveWindow(&window);
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), after);  // the empty list is passed by

    log.clear();
    for (int i = 1; i <= 3; ++i) list->InsertRow(i);
    list->FocusRow(0);
    ui::NotifyRowsArrived(list, QStringLiteral("3 cameras found"));
    QCOMPARE(QApplication::focusWidget(), list);
    QCOMPARE(list->currentRow(), 0);
    QVERIFY(ui::HasKeyboardFocus(list));
    int created = 0;
    for (const EventLog::Entry& e : log.entries()) created += e.type == QAccessible::ObjectCreated && e.object == list;
    QCOMPARE(created, 3);
    QVERIFY(log.spoken(QStringLiteral("3 cameras found")));
    QTRY_VERIFY(vrx::test::ListItems(list)[0]->state().focused);

    list->DeleteAllRows();  // Rescan
    after->setFocus();
    QTest::keyClick(after, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), before);
  }

  // A link can be pressed by assistive technology; it then does what Space does.
  void linksCanBePressed() {
    ui::CLinkStatic link;
    link.setText(QStringLiteral("Can not find your NVR"));
    QAccessibleActionInterface* actions = Iface(&link)->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
  }

  // A label with a caption drawn before its text ("Note:") is read with it.
  void captionedLabelIsReadWithItsCaption() {
    ui::CBaseStatic note;
    note.setText(QStringLiteral("Ensure that cameras have been installed."));
    note.setCaption(QStringLiteral("Note: "), Qt::gray);
    QCOMPARE(Iface(&note)->text(QAccessible::Name), QStringLiteral("Note: Ensure that cameras have been installed."));
  }
};

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
