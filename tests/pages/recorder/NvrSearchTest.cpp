// The recorder search page in the host against the simulator: two recorders of the model and one of another
// model give two numbered rows with the first chosen; the MAC popup shows the chosen MAC (or sixteen x before
// any row exists); choosing the second row and Next stores its address and MAC, asks for the probe and moves
// on. With no recorder answering, "No device found!" is shown, its help popup opens, and Rescan finds the
// recorder once it answers. Screenshots of the page and its popups go to $VRX_BUILD_DIR/screenshots/.
#include <QPainter>
#include <QtTest>
#include <functional>
#include <memory>

#include "AccessibleTree.h"
#include "PageRig.h"
#include "SimProcess.h"
#include "app/InterDialog.h"
#include "app/PageRegistry.h"
#include "i18n/LangString.h"
#include "i18n/LanguageTable.h"
#include "StandInPages.h"
#include "pages/recorder/NvrListCtrl.h"
#include "pages/recorder/NvrSearchDlg.h"
#include "pages/recorder/NvrSearchModel.h"
#include "pages/recorder/NvrSearchOverlays.h"
#include "pages/recorder/RecorderPages.h"
#include "ui/Buttons.h"
#include "ui/Labels.h"
#include "ui/Links.h"
#include "ui/Overlay.h"
#include "PopupWatch.h"
#include "TextFit.h"
#include "VeiledShot.h"
#include "WizardTestSupport.h"

using namespace vrx;
using vrx::test::SimProcess;

namespace {

constexpr char kTwoRecorders[] = R"({
  "name": "two-recorders",
  "recorder": { "address": "127.0.15.1", "mac": "00:1b:2c:3d:4e:5f", "admin_password": "" },
  "other_devices": [ { "model": "VRX-410Q", "name": "NVR-0F0002", "address": "127.0.15.2", "mac": "00:1d:4f:a0:15:02" },
                     { "model": "VRX-208", "name": "NVR-0F0003", "address": "127.0.15.3", "mac": "00:1d:4f:a0:15:03" } ],
  "kelvaro": { "address": "127.0.35.1" }
})";

constexpr char kSilentRecorder[] = R"({
  "name": "silent-recorder",
  "recorder": { "address": "127.0.15.1", "mac": "00:1b:2c:3d:4e:5f", "discovery": { "silent": true } },
  "other_devices": [ { "model": "VRX-208", "name": "NVR-0F0003", "address": "127.0.15.3", "mac": "00:1d:4f:a0:15:03" } ],
  "kelvaro": { "address": "127.0.35.1" }
})";

// The recorder at 127.0.15.1 (web port 8080) and an impostor at 127.0.15.9 claiming its MAC, each played by a
// simulator of its own; the impostor answers discovery first, so its row comes first.
constexpr char kGenuine[] = R"({
  "name": "genuine",
  "recorder": { "address": "127.0.15.1", "mac": "00:1d:4f:a0:15:01", "admin_password": "", "http_port": 8080,
                "discovery": { "delay_ms": 400 } },
  "kelvaro": { "address": "127.0.35.1" }
})";
constexpr char kImpostor[] = R"({
  "name": "impostor",
  "recorder": { "address": "127.0.15.9", "mac": "00:1d:4f:a0:15:01", "admin_password": "" },
  "kelvaro": { "address": "127.0.35.9" }
})";

// What a simulator's peers received beyond discovery: account datagrams and HTTP requests.
QStringList BeyondDiscovery(const SimProcess& sim) {
  QStringList out;
  for (const auto& e : sim.log()) {
    const std::string kind = e.value("kind", ""), request = e.value("request", "");
    if ((kind == "udp" && request != "0x00a1") || kind == "http") out << QString::fromStdString(kind + " " + request);
  }
  return out;
}

using vrx::test::GoTo;
using vrx::test::ScreenshotDir;

CNvrSearchDlg* SearchPage(CInterDialog& host) { return qobject_cast<CNvrSearchDlg*>(host.currentPage()); }

using SearchPageRig = vrx::test::PageRig<CNvrSearchDlg>;

// The host shown on the search page, whose first timer tick starts the search.
CNvrSearchDlg* ShowSearchPage(CInterDialog& host) {
  host.show();
  GoTo(host, kPageNvrSearch);
  return SearchPage(host);
}

// The search page in a fresh host over a simulator of its own.
void OpenSearchPage(SearchPageRig& rig, const char* scenario) {
  rig.Start(scenario);
  rig.Show(ShowSearchPage);
}

// Waits for the page's search (started by its first timer tick or Rescan) to run and end.
bool WaitForSearch(CNvrSearchDlg* page) {
  if (!QTest::qWaitFor([&] { return page->searching(); }, 2000)) return false;
  return QTest::qWaitFor([&] { return !page->searching() && page->rescanButton()->isEnabled(); }, 12000);
}

using vrx::test::VisiblePopup;
using vrx::test::WhenShown;

// The page under the veil with the popup at its offset, as the wizard shows them.
QImage OverVeil(QWidget* page, QWidget* popup, QPoint offset) {
  return vrx::test::Veiled(page->grab().toImage(), ui::CTransparentPage::kOpacity, popup->grab().toImage(), offset);
}

// Opens the MAC popup through the header's help icon and returns its MAC line (saving a screenshot).
QString MacPopupLine(CNvrSearchDlg* page, const QString& shotName) {
  QString line;
  WhenShown<CMacDisplayPage>([&](CMacDisplayPage* popup) {
    line = popup->macLine();
    if (!shotName.isEmpty()) OverVeil(page, popup, CMacDisplayPage::kOffset).save(ScreenshotDir() + "/" + shotName);
    popup->closeButton()->click();
  });
  ui::CSkinHeaderCtrl* header = page->list()->header();
  header->grab();  // lays out the icon
  const QPoint icon = header->helpIconRect().center();
  QTest::mousePress(header, Qt::LeftButton, {}, icon);
  QTest::mouseRelease(header, Qt::LeftButton, {}, icon);
  (void)QTest::qWaitFor([&] { return !line.isEmpty(); }, 3000);
  QTest::qWait(100);  // the veil closes
  return line;
}

void ClickRadio(CNvrListCtrl* list, int row) { QTest::mouseClick(list, Qt::LeftButton, {}, list->RadioRect(row).center()); }

}  // namespace

class NvrSearchTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    currentLanguage = 0;
    LoadLanguageFile(0);
    ClearPageRegistry();
    RegisterStandInPages();
    RegisterRecorderPages();
    RegisterPage(kPageNvrPassword, [](CInterDialog& host) { return new CStandInPage(host, kPageNvrPassword); });  // just a place to arrive
  }

  void listsRecordersAndNextStoresTheChosenOne() {
    SearchPageRig rig;
    OpenSearchPage(rig, kTwoRecorders);
    QVERIFY(rig.page);
    CInterDialog& host = *rig.host;
    CNvrSearchDlg* page = rig.page;
    QVERIFY(!page->nextButton()->isEnabled());
    QCOMPARE(MacPopupLine(page, QString()), QStringLiteral("MAC: xxxxxxxxxxxxxxxx"));  // no row yet

    QVERIFY(WaitForSearch(page));
    CNvrListCtrl* list = page->list();
    QCOMPARE(list->rowCount(), 2);
    QCOMPARE(list->CellText(0, CNvrListCtrl::kNumberColumn), QStringLiteral("1"));
    QCOMPARE(list->CellText(1, CNvrListCtrl::kNumberColumn), QStringLiteral("2"));
    QCOMPARE(list->SelectedRow(), 0);
    QVERIFY(page->nextButton()->isEnabled());
    QVERIFY(page->noDeviceLabel()->isHidden());
    QVERIFY(page->busyAnimation()->isHidden());
    QSet<QString> ips = {list->CellText(0, CNvrListCtrl::kIpColumn), list->CellText(1, CNvrListCtrl::kIpColumn)};
    QCOMPARE(ips, (QSet<QString>{"127.0.15.1", "127.0.15.2"}));  // the VRX-208 is not listed
    // The sandbox has two adapters (127.0.0.1, 127.0.0.2): every device is heard twice, listed once.
    QCOMPARE(host.discovery().ResultCount(), 6);
    QVERIFY(page->grab().save(ScreenshotDir() + "/nvrsearch_results.png"));

    // The MAC popup shows the chosen row's MAC in upper case without colons.
    const int ours = list->CellText(0, CNvrListCtrl::kIpColumn) == "127.0.15.1" ? 0 : 1;
    ClickRadio(list, ours);
    QCOMPARE(list->SelectedRow(), ours);
    QCOMPARE(MacPopupLine(page, "nvrsearch_mac_popup.png"), QStringLiteral("MAC: 001B2C3D4E5F"));

    // Choose the second row: Next stores its address and MAC, asks for the probe and moves on.
    ClickRadio(list, 1);
    QCOMPARE(list->SelectedRow(), 1);
    QVERIFY(!list->isSelected(0));
    const QString ip = list->CellText(1, CNvrListCtrl::kIpColumn);
    const QString mac = list->CellText(1, CNvrListCtrl::kMacColumn);
    page->nextButton()->click();
    QTRY_COMPARE(host.pageType(), int(kPageNvrPassword));
    QCOMPARE(host.GetRecorderIp(), ip);
    QCOMPARE(host.GetRecorderMac(), mac);
    QCOMPARE(host.GetAdminUser(), QStringLiteral("admin"));
    // The probe ran for the chosen recorder (the second device only answers discovery: no account answer).
    QTRY_COMPARE_WITH_TIMEOUT(host.probeOutcome().pending().load(), 0, 5000);
  }

  // Two devices answer with one MAC. Next on either row warns first, naming both addresses; BACK keeps the
  // page and sends nothing. Continuing on the genuine row gives an endpoint of that row alone (its address and
  // web port), and the impostor never gets an account datagram or an authenticated request.
  void macClaimedTwiceWarnsBeforeAnyPassword() {
    std::unique_ptr<SimProcess> impostor;  // outlives the rig's host, as the genuine one does
    SearchPageRig rig;
    rig.Start(kGenuine);
    impostor = SimProcess::fromText(kImpostor);
    QVERIFY2(impostor->ready(), impostor->error().c_str());
    rig.Show(ShowSearchPage);
    QVERIFY(rig.page);
    CInterDialog& host = *rig.host;
    CNvrSearchDlg* page = rig.page;
    QVERIFY(WaitForSearch(page));
    CNvrListCtrl* list = page->list();
    QCOMPARE(list->rowCount(), 2);
    QCOMPARE(list->CellText(0, CNvrListCtrl::kIpColumn), QStringLiteral("127.0.15.9"));
    QCOMPARE(list->CellText(1, CNvrListCtrl::kMacColumn), list->CellText(0, CNvrListCtrl::kMacColumn));
    QCOMPARE(list->SelectedRow(), 0);

    // The preselected row is the impostor's: the warning comes before anything is stored or sent.
    QString message;
    WhenShown<CMacClaimedPage>([&](CMacClaimedPage* popup) {
      message = popup->message();
      QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(popup->backButton()));
      OverVeil(page, popup, CMacClaimedPage::kOffset).save(ScreenshotDir() + "/nvrsearch_mac_claimed.png");
      popup->backButton()->click();
    });
    page->nextButton()->click();
    QTRY_VERIFY(!message.isEmpty());
    for (const char* text : {"00:1d:4f:a0:15:01", "127.0.15.9", "127.0.15.1:8080"})
      QVERIFY2(message.contains(QLatin1String(text)), qPrintable(message));
    QTest::qWait(300);
    QCOMPARE(host.pageType(), int(kPageNvrSearch));
    QVERIFY(host.GetRecorderIp().isEmpty());
    QVERIFY(!host.probeOutcome().pending());

    // The user chooses the genuine row and goes on knowingly.
    ClickRadio(list, 1);
    WhenShown<CMacClaimedPage>([&](CMacClaimedPage* popup) { popup->continueButton()->click(); });
    page->nextButton()->click();
    QTRY_COMPARE(host.pageType(), int(kPageNvrPassword));
    const net::RecorderEndpoint endpoint = host.Recorder();
    QCOMPARE(QString::fromStdString(endpoint.ip), QStringLiteral("127.0.15.1"));
    QCOMPARE(endpoint.httpPort, 8080);
    QTRY_COMPARE_WITH_TIMEOUT(host.probeOutcome().pending().load(), 0, 5000);
    QVERIFY(host.probeOutcome().verdict() == (ProbeVerdict{false, false}));  // the genuine one answered
    QVERIFY(!BeyondDiscovery(*rig.sim).isEmpty());
    QCOMPARE(BeyondDiscovery(*impostor), QStringList());
  }

  // The page and its popups with longer translations, for a person to look at (no search needed).
  void otherLanguages_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("English") << 0 << "en";
    QTest::newRow("Russian") << 2 << "ru";
    QTest::newRow("Traditional Chinese") << 4 << "zh_TW";
  }
  void otherLanguages() {
    QFETCH(int, language);
    QFETCH(QString, suffix);
    currentLanguage = language;
    LoadLanguageFile(language);
    {
      SearchPageRig rig;  // no simulator: the page as it first shows
      rig.Show(ShowSearchPage);
      CNvrSearchDlg* page = rig.page;
      QVERIFY(page);
      QVERIFY(page->grab().save(ScreenshotDir() + "/nvrsearch_" + suffix + ".png"));
      CMacDisplayPage mac(nullptr, MacDisplayText(QStringLiteral("00:1b:2c:3d:4e:5f")));
      QVERIFY(OverVeil(page, &mac, CMacDisplayPage::kOffset).save(ScreenshotDir() + "/nvrsearch_mac_popup_" + suffix + ".png"));
      CNoDevicePage help(nullptr);
      QVERIFY(OverVeil(page, &help, CNoDevicePage::kOffset)
                  .save(ScreenshotDir() + "/nvrsearch_no_device_popup_" + suffix + ".png"));
      CMacClaimedPage claimed(nullptr, {"00:1d:4f:a0:15:01", {"127.0.15.9", "127.0.15.1:8080"}, "127.0.15.1:8080"});
      const QStringList cut = vrx::test::TextsThatDoNotFit(&claimed);
      QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
      QVERIFY(OverVeil(page, &claimed, CMacClaimedPage::kOffset)
                  .save(ScreenshotDir() + "/nvrsearch_mac_claimed_" + suffix + ".png"));
    }
    currentLanguage = 0;
    LoadLanguageFile(0);
  }

  // Each recorder is a list item read with its number, address and MAC, marked as selected when its radio
  // mark is on; the arrows move the focus through them, Space marks one, F1 opens the MAC help.
  void recordersAreListItemsForAReader() {
    vrx::test::EventLog events;
    SearchPageRig rig;
    rig.Start(kTwoRecorders);
    rig.Show([](CInterDialog& host) {
      host.show();
      QApplication::setActiveWindow(&host);
      GoTo(host, 6);
      return SearchPage(host);
    });
    QVERIFY(rig.page);
    CNvrSearchDlg* page = rig.page;
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(page->list()));
    QVERIFY(WaitForSearch(page));
    CNvrListCtrl* list = page->list();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(list);
    QCOMPARE(iface->text(QAccessible::Name), GetLangString("nvrsearch_01", "Select your NVR device"));
    const QList<QAccessibleInterface*> items = vrx::test::ListItems(list);
    QCOMPARE(items.size(), 2);
    for (int row = 0; row < 2; ++row) {
      const QString name = items[row]->text(QAccessible::Name);
      QVERIFY2(name.contains(list->CellText(row, CNvrListCtrl::kIpColumn)) &&
                   name.contains(list->CellText(row, CNvrListCtrl::kMacColumn)),
               qPrintable(name));
      QCOMPARE(items[row]->state().checked, row == 0);  // a radio button of the list: checked is what a reader says "selected" of
    }
    QVERIFY(iface->focusChild() == items[0]);

    events.clear();
    QTest::keyClick(list, Qt::Key_Down);  // the highlight onto the first row
    QTest::keyClick(list, Qt::Key_Down);
    QVERIFY(items[1]->state().focused);
    QTRY_VERIFY(events.any(QAccessible::Focus, list));
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(list->SelectedRow(), 1);
    QVERIFY(items[1]->state().checked && !items[0]->state().checked);
    QVERIFY(events.any(QAccessible::SelectionAdd, list));

    bool helpShown = false;
    WhenShown<CMacDisplayPage>([&](CMacDisplayPage* popup) {
      helpShown = true;
      popup->closeButton()->click();
    });
    QTest::keyClick(list, Qt::Key_F1);
    QTRY_VERIFY(helpShown);
  }

  // Closing the wizard while a search runs: the page stops its thread before the host's discovery manager
  // goes, and nothing waits the full search window.
  void hostDestroyedWhileSearching() {
    SearchPageRig rig;
    rig.Show(ShowSearchPage);
    CNvrSearchDlg* page = rig.page;
    QVERIFY(page);
    QTRY_VERIFY(page->searching());
    QElapsedTimer clock;
    clock.start();
    rig.CloseHost();
    QVERIFY(clock.elapsed() < 3000);
  }

  void noDeviceFoundThenRescan() {
    SearchPageRig rig;
    OpenSearchPage(rig, kSilentRecorder);
    QVERIFY(rig.page);
    CInterDialog& host = *rig.host;
    CNvrSearchDlg* page = rig.page;
    QVERIFY(WaitForSearch(page));
    QCOMPARE(page->list()->rowCount(), 0);
    QVERIFY(page->noDeviceLabel()->isVisible());
    QCOMPARE(QAccessible::queryAccessibleInterface(page->noDeviceLabel())->role(), QAccessible::AlertMessage);
    QVERIFY(!page->nextButton()->isEnabled());
    QVERIFY(page->backButton()->isEnabled());
    QVERIFY(page->grab().save(ScreenshotDir() + "/nvrsearch_no_device.png"));

    // Next with nothing chosen does nothing.
    page->nextButton()->setEnabled(true);
    page->nextButton()->click();
    QTest::qWait(50);
    QCOMPARE(host.pageType(), int(kPageNvrSearch));

    // The help link opens the no-device popup.
    bool shown = false;
    WhenShown<CNoDevicePage>([&](CNoDevicePage* popup) {
      shown = true;
      OverVeil(page, popup, CNoDevicePage::kOffset).save(ScreenshotDir() + "/nvrsearch_no_device_popup.png");
      popup->closeButton()->click();
    });
    auto* link = page->findChild<ui::CLinkStatic*>();
    QVERIFY(link);
    QTest::mouseClick(link, Qt::LeftButton, {}, link->TextRect().center().toPoint());
    QTRY_VERIFY(shown);
    QTest::qWait(100);

    // Rescan once the recorder answers.
    QVERIFY(rig.sim->setRecorder("discovery_silent=0"));
    page->rescanButton()->click();
    QVERIFY(page->noDeviceLabel()->isHidden());
    QVERIFY(page->busyAnimation()->isVisible());
    QVERIFY(!page->rescanButton()->isEnabled());
    QVERIFY(!page->backButton()->isEnabled());
    QTest::qWait(450);  // a few frames into the animation
    QVERIFY(page->grab().save(ScreenshotDir() + "/nvrsearch_searching.png"));
    QVERIFY(WaitForSearch(page));
    QCOMPARE(page->list()->rowCount(), 1);
    QCOMPARE(page->list()->CellText(0, CNvrListCtrl::kIpColumn), QStringLiteral("127.0.15.1"));
    QVERIFY(page->nextButton()->isEnabled());

    // Back stops nothing that runs and goes to page 5.
    page->backButton()->click();
    QTRY_COMPARE(host.pageType(), int(kPageIntroduction3));
  }
};

QTEST_MAIN(NvrSearchTest)
#include "NvrSearchTest.moc"
