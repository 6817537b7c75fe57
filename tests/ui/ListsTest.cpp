// The camera list (tick limit, grey rows, preview icon), the scroll bar, the combo drop-down and the password edit.
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <tuple>
#include <vector>

#include "platform/MessagePort.h"
#include "PageStub.h"
#include "ui/ComboBox.h"
#include "ui/EditCtrl.h"
#include "pages/cameras/CamListCtrl.h"
#include "ui/ListGeometry.h"

using namespace vrx;
using namespace vrx::ui;

using vrx::test::PageStub;

namespace {


// The camera page's columns.
void AddCameraColumns(CCamListCtrl& list) {
  const int widths[] = {86, 32, 32, 46, 47, 149, 26, 72, 176};
  for (int i = 0; i < 9; ++i) list.InsertColumn({QString(), widths[i], i == 5 ? Qt::AlignLeft : Qt::AlignHCenter});
}

// A list of rows rows, 32 high, 300 pixels tall (eight rows show below the header).
CCamListCtrl* MakeList(QWidget* parent, int rows) {
  auto* list = new CCamListCtrl(parent, 1030);
  AddCameraColumns(*list);
  list->setRowHeight(32);
  list->setGeometry(0, 0, 700, 32 + 8 * 32);
  for (int i = 0; i < rows; ++i) list->InsertRow(i + 1);
  return list;
}

QPoint Centre(const QRect& r) { return r.center(); }

}  // namespace

class ListsTest : public QObject {
  Q_OBJECT
 private slots:
  void thumb_data();
  void thumb();
  void thumbDragMapsBackToRows();
  void tickBoxClicks();
  void fourTickedGreysTheRestAndSilencesThem();
  void previewIconOnlyWithPasswordKnown();
  void listWithoutScrollRangeHasNoThumb();
  void pageDownByClickingBelowTheThumb();
  void draggingTheThumbScrollsTheList();
  void dropDownTopRow_data();
  void dropDownTopRow();
  void dropDownGeometry_data();
  void dropDownGeometry();
  void fewItemsDropDownArrowsAreInert();
  void choosingARowPostsTheIndex();
  void passwordIsMasked();
  void headerHelpIconPostsItsKind();
};

void ListsTest::thumb_data() {
  QTest::addColumn<int>("height");
  QTest::addColumn<int>("limit");
  QTest::addColumn<int>("position");
  QTest::addColumn<bool>("visible");
  QTest::addColumn<int>("top");
  QTest::newRow("no range") << 288 << 0 << 0 << false << 32;
  QTest::newRow("at the top") << 288 << 4 << 0 << true << 32;
  QTest::newRow("a quarter") << 288 << 4 << 1 << true << 32 + 64;
  QTest::newRow("at the end: kept inside") << 288 << 4 << 4 << true << 288 - 32;
  QTest::newRow("fractional steps") << 288 << 3 << 2 << true << 32 + 170;
}

void ListsTest::thumb() {
  QFETCH(int, height);
  QFETCH(int, limit);
  QFETCH(int, position);
  const ThumbGeometry g = ThumbFor(height, limit, position);
  QTEST(g.visible, "visible");
  if (g.visible) QTEST(g.top, "top");
}

void ListsTest::thumbDragMapsBackToRows() {
  // Dragging to the top and the bottom reaches the first and the last position; the cursor holds the thumb a
  // third of its height below its top.
  QCOMPARE(DraggedThumbTop(0, 288), 32);
  QCOMPARE(DraggedThumbTop(1000, 288), 256);
  QCOMPARE(DraggedThumbTop(110, 288), 100);
  QCOMPARE(RowForThumb(32, 288, 4), 0);
  QCOMPARE(RowForThumb(256, 288, 4), 4);   // the bottom stop is the last position
  QCOMPARE(RowForThumb(256, 288, 12), 12);  // also where the plain inverse gives 11
  for (int pos = 0; pos < 4; ++pos) QCOMPARE(RowForThumb(ThumbFor(288, 4, pos).top, 288, 4), pos);
}

void ListsTest::tickBoxClicks() {
  PageStub page;
  CCamListCtrl* list = MakeList(&page.widget, 3);
  QSignalSpy clicked(list, &CCamListCtrl::rowClicked);
  QTest::mouseClick(list, Qt::LeftButton, {}, Centre(list->TickBoxRect(1)));
  QCOMPARE(clicked.count(), 1);
  QCOMPARE(clicked.at(0).at(0).toInt(), 1);
  QVERIFY(!list->isTicked(1));  // the page decides, then ticks

  list->TickRow(1);
  list->tickCount() = 1;
  QTest::mouseClick(list, Qt::LeftButton, {}, Centre(list->TickBoxRect(1)));
  QVERIFY(!list->isTicked(1));
  QCOMPARE(list->tickCount().load(), 0);
  QTest::mouseClick(list, Qt::LeftButton, {}, Centre(list->CellRect(1, 5)));  // elsewhere: nothing
  QCOMPARE(clicked.count(), 1);
}

void ListsTest::fourTickedGreysTheRestAndSilencesThem() {
  PageStub page;
  CCamListCtrl* list = MakeList(&page.widget, 6);
  for (int row = 0; row < 4; ++row) {
    list->TickRow(row);
    ++list->tickCount();
  }
  QSignalSpy clicked(list, &CCamListCtrl::rowClicked);
  QTest::mouseClick(list, Qt::LeftButton, {}, Centre(list->TickBoxRect(5)));
  QTest::keyClick(list, Qt::Key_Space);  // the keyboard on that grey row: nothing either
  QCOMPARE(clicked.count(), 0);
  QVERIFY(!list->isTicked(5));

  // Drawing: the unticked rows' numbers are grey, the ticked ones black.
  list->TickRow(0);
  list->tickCount() = 4;
  page.widget.show();
  const QImage image = list->grab().toImage();
  auto darkestIn = [&image](const QRect& r) {
    int darkest = 255;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) darkest = qMin(darkest, qGray(image.pixel(x, y)));
    return darkest;
  };
  QVERIFY(darkestIn(list->CellRect(0, CCamListCtrl::kNumberColumn)) < 0x40);
  const int grey = darkestIn(list->CellRect(5, CCamListCtrl::kNumberColumn));
  QVERIFY2(grey >= 0x70 && grey <= 0x90, qPrintable(QString::number(grey)));
}

void ListsTest::previewIconOnlyWithPasswordKnown() {
  PageStub page;
  CCamListCtrl* list = MakeList(&page.widget, 2);
  list->setPasswordKnown(1, true);
  QTest::mouseClick(list, Qt::LeftButton, {}, Centre(list->PreviewIconRect(0)));
  QTest::mouseClick(list, Qt::LeftButton, {}, Centre(list->PreviewIconRect(1)));
  QCoreApplication::processEvents();
  QCOMPARE(page.received.size(), size_t(1));
  QCOMPARE(page.received[0], std::make_tuple(WM_WIZ_LINK, WPARAM(8), LPARAM(1)));
  const QRect cell = list->CellRect(1, CCamListCtrl::kPreviewColumn);
  QCOMPARE(list->lastClickPoint(), list->mapToGlobal(QPoint(cell.right() - 5, cell.center().y() + 2)));
}

void ListsTest::listWithoutScrollRangeHasNoThumb() {
  QWidget parent;
  CCamListCtrl* list = MakeList(&parent, 8);  // exactly fills the list
  QCOMPARE(list->scrollLimit(), 0);
  QVERIFY(!list->scrollBar()->thumbVisible());
  list->InsertRow(9);
  QCOMPARE(list->scrollLimit(), 1);
  QVERIFY(list->scrollBar()->thumbVisible());
  list->DeleteAllRows();
  QVERIFY(!list->scrollBar()->thumbVisible());
}

void ListsTest::pageDownByClickingBelowTheThumb() {
  QWidget parent;
  CCamListCtrl* list = MakeList(&parent, 20);
  parent.show();
  CListCtrlVScrollbar* bar = list->scrollBar();
  QCOMPARE(list->scrollLimit(), 12);
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(7, bar->height() - 5));
  QCOMPARE(list->scrollPosition(), 8);
  QCOMPARE(bar->thumbTop(), ThumbFor(bar->height(), 12, 8).top);
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(7, 40));
  QCOMPARE(list->scrollPosition(), 0);
}

void ListsTest::draggingTheThumbScrollsTheList() {
  QWidget parent;
  CCamListCtrl* list = MakeList(&parent, 20);
  parent.show();
  CListCtrlVScrollbar* bar = list->scrollBar();
  auto send = [bar](QEvent::Type type, int y, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(7, y), bar->mapToGlobal(QPointF(7, y)), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &e);
  };
  send(QEvent::MouseButtonPress, bar->thumbTop() + 10, Qt::LeftButton);
  QVERIFY(bar->dragging());
  send(QEvent::MouseMove, bar->height() / 2, Qt::LeftButton);
  QCOMPARE(bar->thumbTop(), bar->height() / 2 - 32 / 3);
  QCOMPARE(list->scrollPosition(), RowForThumb(bar->thumbTop(), bar->height(), 12));
  send(QEvent::MouseMove, bar->height() + 50, Qt::LeftButton);  // past the end
  send(QEvent::MouseButtonRelease, bar->height() + 50, Qt::NoButton);
  QVERIFY(!bar->dragging());
  QCOMPARE(list->scrollPosition(), 12);
  QCOMPARE(bar->thumbTop(), bar->height() - 32);
}

void ListsTest::dropDownTopRow_data() {
  QTest::addColumn<int>("selected");
  QTest::addColumn<int>("count");
  QTest::addColumn<int>("top");
  QTest::newRow("selection in the first page") << 5 << 23 << 0;
  QTest::newRow("selection starts the page") << 6 << 23 << 6;
  QTest::newRow("near the end: last full page") << 20 << 23 << 17;
  QTest::newRow("selected + visible == count") << 17 << 23 << 17;
  QTest::newRow("one short of the end") << 16 << 23 << 16;
}

void ListsTest::dropDownTopRow() {
  QFETCH(int, selected);
  QFETCH(int, count);
  QTEST(DropDownTopRow(selected, 6, count), "top");
}

void ListsTest::dropDownGeometry_data() {
  QTest::addColumn<int>("selected");
  QTest::addColumn<int>("count");
  QTest::addColumn<QRect>("rect");
  // Combo at (552, 290), 188 x 32, like the language list.
  QTest::newRow("six items, first selected") << 0 << 6 << QRect(552, 290 - 20, 188, 6 * 32 + 40);
  QTest::newRow("six items, last selected") << 5 << 6 << QRect(552, 322 - 6 * 32 - 20, 188, 6 * 32 + 40);
  QTest::newRow("three items") << 1 << 3 << QRect(552, 322 - 2 * 32 - 20, 188, 3 * 32 + 40);
  QTest::newRow("scrolled: selected row on the combo") << 10 << 23 << QRect(552, 290 - 20, 188, 6 * 32 + 40);
}

void ListsTest::dropDownGeometry() {
  QFETCH(int, selected);
  QFETCH(int, count);
  const DropDownGeometry g = DropDownFor(QRect(552, 290, 188, 32), selected, 6, count);
  QTEST(g.rect, "rect");
  QCOMPARE(g.hotRow, selected);
  // The selected row lies exactly over the combo.
  QCOMPARE(g.rect.top() + kDropArrowBand + (selected - g.topRow) * 32, 290);
}

void ListsTest::fewItemsDropDownArrowsAreInert() {
  PageStub page;
  auto* combo = new CAvrelComboBox(&page.widget, 32998);
  combo->setItems({QStringLiteral("English"), QStringLiteral("Español"), QStringLiteral("简体中文")});
  combo->setGeometry(552, 290, 188, 32);
  page.widget.show();
  QTest::mouseClick(combo, Qt::LeftButton);
  CComboBoxList* drop = combo->dropDown();
  QVERIFY(drop);
  QCOMPARE(drop->height(), 3 * 32 + 40);
  QTest::mouseClick(drop, Qt::LeftButton, {}, DownArrowArea(drop->size()).center());
  QTest::mouseClick(drop, Qt::LeftButton, {}, UpArrowArea(drop->size()).center());
  QCOMPARE(drop->topRow(), 0);
  QVERIFY(drop->isVisible());
  QVERIFY(page.received.empty());
}

void ListsTest::choosingARowPostsTheIndex() {
  PageStub page;
  auto* combo = new CAvrelComboBox(&page.widget, 32998);
  QStringList items;
  for (int i = 0; i < 30; ++i) items << QStringLiteral("item %1").arg(i);
  combo->setItems(items);
  QCOMPARE(combo->count(), CAvrelComboBox::kMaxItems);
  combo->setCurrentIndex(8);
  combo->setGeometry(552, 290, 188, 32);
  page.widget.show();
  combo->OpenDropDown();
  CComboBoxList* drop = combo->dropDown();
  QCOMPARE(drop->topRow(), 8);
  QTest::mouseClick(drop, Qt::LeftButton, {}, DownArrowArea(drop->size()).center());
  QCOMPARE(drop->topRow(), 9);
  QSignalSpy activated(combo, &CAvrelComboBox::activated);
  QTest::mouseClick(drop, Qt::LeftButton, {}, drop->rowRect(11).center());
  QCoreApplication::processEvents();
  QCOMPARE(combo->currentIndex(), 11);
  QCOMPARE(activated.count(), 1);
  QCOMPARE(page.received.size(), size_t(1));
  QCOMPARE(page.received[0], std::make_tuple(WM_WIZ_COMBO_PICK, WPARAM(11), LPARAM(0)));
  QTRY_VERIFY(!combo->dropDown());
}

void ListsTest::passwordIsMasked() {
  CMyEditCtrl2 edit;
  edit.setPasswordMode(true);
  QTest::keyClicks(&edit, QStringLiteral("Secret1"));
  QCOMPARE(edit.text(), QStringLiteral("Secret1"));
  QCOMPARE(edit.displayedText(), QString(7, kPasswordMark));
}

void ListsTest::headerHelpIconPostsItsKind() {
  // The recorder list's header: a help icon after the "Mac Address" title opens overlay kind 4.
  PageStub page;
  auto* list = new CSkinListCtrl(&page.widget, 1030);
  const int widths[] = {60, 40, 25, 40, 30, 200, 20, 210};
  for (int i = 0; i < 8; ++i)
    list->InsertColumn({i == 7 ? QStringLiteral("Mac Address") : QString(), widths[i], Qt::AlignHCenter});
  list->header()->SetHelpIcon(7, 4083, 4);
  list->setGeometry(80, 100, 688, 220);
  page.widget.show();
  list->header()->grab();  // lays out the icon
  const QRect icon = list->header()->helpIconRect();
  QCOMPARE(icon.size(), QSize(22, 22));
  QVERIFY(icon.left() > list->header()->SectionRect(7).center().x());
  QTest::mouseClick(list->header(), Qt::LeftButton, {}, QPoint(icon.left() - 30, 16));  // on the title: nothing
  QTest::mouseClick(list->header(), Qt::LeftButton, {}, icon.center());
  QCoreApplication::processEvents();
  QCOMPARE(page.received.size(), size_t(1));
  QCOMPARE(page.received[0], std::make_tuple(WM_WIZ_LINK, WPARAM(4), LPARAM(0)));
}

QTEST_MAIN(ListsTest)
#include "ListsTest.moc"
