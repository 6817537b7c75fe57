// The camera page with a screen reader and the keyboard alone, against the simulated recorder and cameras: the
// rows' checked and unavailable states, the four-camera alert, the scan announcement, the row's Preview action
// and menu, and the password popups (Enter submits, the rule is described before a try, the focus goes back to
// the field after an error, the eye comes before Close).
#include <QAccessible>
#include <QMenu>
#include <QScopeGuard>
#include <QtTest>
#include <memory>

#include "AccessibleTree.h"
#include "CameraPageFixture.h"
#include "pages/preview/PreviewPage.h"
#include "ui/Labels.h"

using namespace camtest;

namespace {
const QString kLengthRule =
    "The password must be between 6-30 characters; not contain special characters: (/), (:), (&),(space).";
const QString kWrongPassword = "Incorrect password. Please try again.";
const std::string kBasic = R"("auth": "basic")";
}  // namespace

class CameraKeyboardTest : public QObject {
  Q_OBJECT

  CameraPageRig rig_;

 private slots:
  void cleanup() { rig_.Close(); }

  // For a reader: tick and untick are heard, grey rows are unavailable, a refused Space says why, the end of
  // a scan is announced, and a row with a known password offers "Preview" (its action, or its menu).
  void rowsSpeakTicksLimitAndPreview() {
    vrx::test::EventLog events;
    RegisterPreviewOverlay();
    std::vector<Cam> cams;
    for (int i = 0; i < 5; ++i) cams.push_back({70 + i, "HVC-2230", "pass1234", "admin", "pass1234"});
    OpenCameraPage(rig_, cams);
    auto* list = rig_.page->list();
    QVERIFY(events.spoken("5 cameras found"));
    QVERIFY(!rig_.page->busyAnimation()->accessibleName().isEmpty());

    auto stateChanges = [&] {
      int n = 0;
      for (const auto& e : events.entries()) n += e.type == QAccessible::StateChanged && e.object == list;
      return n;
    };
    events.clear();
    ClickTick(rig_.page, 0);
    ClickTick(rig_.page, 0);
    QCOMPARE(stateChanges(), 2);

    for (int row = 0; row < 4; ++row) ClickTick(rig_.page, row);
    const QList<QAccessibleInterface*> items = vrx::test::ListItems(list);
    QVERIFY(items[0]->state().checkable && items[0]->state().checked && !items[0]->state().disabled);
    QVERIFY(items[4]->state().disabled);

    events.clear();
    list->setFocus();
    for (int i = 0; i < 5; ++i) QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentRow(), 4);
    QTest::keyClick(list, Qt::Key_Space);
    QTRY_VERIFY(events.spoken("Four cameras are the most."));  // messages are said a moment apart
    QVERIFY(!list->isTicked(4));

    QVERIFY2(items[1]->text(QAccessible::Name).contains("preview available"), qPrintable(items[1]->text(QAccessible::Name)));
    auto* action = items[1]->actionInterface();
    QVERIFY(action && action->actionNames().contains("Preview"));
    int previews = 0;
    auto closePreview = [&previews](CPreviewPage* preview) {
      ++previews;
      QTimer::singleShot(200, preview, [preview] { preview->closeButton()->click(); });
    };
    WhenShown<CPreviewPage>(closePreview);
    action->doAction("Preview");
    QTRY_COMPARE(previews, 1);

    // With keys: the Menu key opens the row's menu, Escape closes it and nothing opens; Shift+F10 opens it
    // again and Enter in it opens the preview. Enter on the row itself does nothing.
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    QTest::qWait(100);
    QCOMPARE(previews, 1);
    QStringList menus;
    auto answerMenu = [&menus](int key) {
      WhenShown<QMenu>([&menus, key](QMenu* menu) {
        menus << menu->activeAction()->text();
        QTest::keyClick(menu, Qt::Key(key));
      });
    };
    answerMenu(Qt::Key_Escape);
    QTest::keyClick(list, Qt::Key_Menu);
    QCOMPARE(menus, QStringList{"Preview"});
    QTest::qWait(100);
    QCOMPARE(previews, 1);
    QVERIFY(!QApplication::activePopupWidget());
    WhenShown<CPreviewPage>(closePreview);
    answerMenu(Qt::Key_Return);
    QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
    QTRY_COMPARE(previews, 2);
  }

  // The password popups with the keyboard: Enter submits, focus goes back to the field after the error, the
  // eye comes before Close, and the create fields describe the rule before any try.
  void passwordPopupsWithTheKeyboard() {
    OpenCameraPage(rig_, {{4, "HVC-2230", "door4321", "", ""}, {3, "HVC-1120", "", "admin", "", 1, false, kBasic}});
    QStringList errors;
    bool focusBack = false, closed = false;
    QStringList order;  // class:name of what Tab reaches, from the first field on
    WhenShown<CCameraPwdPage>([&](CCameraPwdPage* popup) {
      QWidget* w = popup->passwordEdit();
      do {
        if ((w->focusPolicy() & Qt::TabFocus) && popup->isAncestorOf(w))
          order << QString::fromLatin1(w->metaObject()->className()) + ":" + w->accessibleName();
        w = w->nextInFocusChain();
      } while (w && w != popup->passwordEdit() && order.size() < 8);
      QPointer<CCameraPwdPage> alive(popup);
      // A failed check leaves the popup open: close it, so the test ends.
      auto guard = qScopeGuard([alive] {
        if (alive && alive->isVisible()) alive->closeButton()->click();
      });
      // The error popup runs its own loop: a timer answers it.
      auto* closer = new QTimer(popup);
      QObject::connect(closer, &QTimer::timeout, [&errors] {
        if (auto* error = vrx::test::VisiblePopup<ui::CErrorPage>()) {
          errors << error->message();
          error->closeButton()->click();
        }
      });
      closer->start(10);
      popup->passwordEdit()->setText("wrong");
      QTest::keyClick(popup->passwordEdit(), Qt::Key_Return);
      QVERIFY(popup->waiting());
      QTRY_VERIFY_WITH_TIMEOUT(!errors.isEmpty() && !popup->waiting() && QApplication::activePopupWidget() == nullptr &&
                                   !vrx::test::VisiblePopup<ui::CErrorPage>(),
                               20000);
      QTest::qWait(50);
      focusBack = popup->focusWidget() == popup->passwordEdit();
      popup->passwordEdit()->setText("door4321");
      QTest::keyClick(popup->passwordEdit(), Qt::Key_Enter);
      QTRY_VERIFY_WITH_TIMEOUT(!alive || !alive->isVisible(), 20000);
      closed = true;
    });
    ClickTick(rig_.page, 0);
    QCOMPARE(errors, QStringList{kWrongPassword});
    QVERIFY(focusBack);
    QVERIFY(closed);
    QVERIFY(rig_.page->list()->isTicked(0));
    QCOMPARE(order.size(), 4);
    QVERIFY2(order[1].startsWith("vrx::ui::CRevealButton:") && order[3].endsWith(":Close"), qPrintable(order.join(", ")));

    QString description;
    WhenShown<CCameraPwdPage>([&description](CCameraPwdPage* popup) {
      description = QAccessible::queryAccessibleInterface(popup->confirmEdit())->text(QAccessible::Description);
      popup->closeButton()->click();
    });
    ClickTick(rig_.page, 1);
    QCOMPARE(description, kLengthRule);
  }

};

QTEST_MAIN(CameraKeyboardTest)
#include "CameraKeyboardTest.moc"
