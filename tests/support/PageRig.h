#pragma once
// One page of the wizard under test: the simulator playing its peers, a real host, and the page of type Page
// that the host shows. The disk, camera and cloud page tests each hold one; their fixture headers only add
// how the page is reached (OpenDiskPage, OpenCameraPage, OpenCloudPage).
//
//   vrx::test::PageRig<CCameraSearchDlg> rig;
//   rig.Start(scenarioJson);                          // a fresh simulator (what was open is closed first)
//   rig.Show([](CInterDialog& host) { return ShowMyPage(host); });  // a fresh host showing the page
//   rig.page->nextButton()->click();
//   QCOMPARE(rig.Requests("GET /config/addavdev?").size(), 1);
//   rig.Close();                                      // the page and its jobs go first, then the peers
//
// Start and Show record a failure in the running QtTest function and leave page null; the caller checks it
// (QVERIFY(rig.page)) where it goes on.
#include <QStringList>
#include <QtTest>
#include <memory>
#include <string>

#include "SimProcess.h"
#include "app/InterDialog.h"

namespace vrx::test {

template <typename Page>
class PageRig {
 public:
  std::unique_ptr<SimProcess> sim;
  std::unique_ptr<CInterDialog> host;
  Page* page = nullptr;  // owned by the host

  enum class Service { Untrusted, Trusted };

  PageRig() = default;
  PageRig(const PageRig&) = delete;
  PageRig& operator=(const PageRig&) = delete;
  ~PageRig() { Close(); }

  // The simulator of scenarioJson. Trusted: the account requests of this process reach its kelvaro service.
  void Start(const std::string& scenarioJson, Service service = Service::Untrusted) {
    Close();
    sim = SimProcess::fromText(scenarioJson);
    QVERIFY2(sim->ready(), sim->error().c_str());
    if (service == Service::Trusted) sim->exportCaFile();
  }

  // A fresh host (the simulator stays) and the page that show(host) brings up in it.
  template <typename ShowPage>
  void Show(ShowPage show) {
    CloseHost();
    host = std::make_unique<CInterDialog>();
    page = show(*host);
    QVERIFY2(page, "the page did not come up");
  }

  void CloseHost() {
    host.reset();  // the page (and its jobs) goes before the worker and the poller
    page = nullptr;
  }
  void Close() {
    CloseHost();
    sim.reset();
  }

  // The requests the simulator's peers received whose line starts with prefix ("GET /config/addavdev?"), in
  // order and without the prefix.
  QStringList Requests(const QString& prefix) const {
    QStringList out;
    if (!sim) return out;
    for (const auto& entry : sim->log()) {
      const QString request = QString::fromStdString(entry["request"].template get<std::string>());
      if (request.startsWith(prefix)) out << request.mid(prefix.size());
    }
    return out;
  }
};

}  // namespace vrx::test
