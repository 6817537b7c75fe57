#pragma once
// Page 6: choose the recorder to set up. Half a second after it opens the page runs a broadcast search on
// a thread of its own, lists the recorders of the product's model with a radio mark (the first chosen),
// and Next stores the chosen row's address, MAC and web port in the record of the run, asks the host to probe
// that recorder and moves on. Rescan searches again; "Can not find your NVR" and the MAC header icon open help.
//
// A MAC is only what a device claims. When another row claims the chosen row's MAC, Next first warns (kind
// 15, naming every claimant) and nothing is stored or probed unless the user continues knowingly.
//
// The search is the discovery step's (steps/recorder/RecorderDiscovery.h) on a job of the page; the step hands
// back the recorders it found, the page fills the list on the UI thread and, half a second later, gives the
// controls back.

#include <QBasicTimer>

#include "pages/common/WizardPage.h"
#include "platform/ResultJob.h"
#include "steps/recorder/RecorderDiscovery.h"

namespace vrx {

namespace ui {
class CAvrelStatic;
class CBaseStatic;
class CIconButton;
class CLinkStatic;
class CLoadingStatic;
}  // namespace ui

class CNvrListCtrl;

class CNvrSearchDlg : public CWizardPage {
  Q_OBJECT
 public:
  static constexpr int kPageType = kPageNvrSearch;
  static constexpr int kCmdRescan = 1035;
  static constexpr int kFirstSearchDelayMs = 500;
  static constexpr int kAfterResultsMs = 500;

  explicit CNvrSearchDlg(CInterDialog& host);

  CNvrListCtrl* list() const { return list_; }
  ui::CAvrelStatic* noDeviceLabel() const { return noDevice_; }
  ui::CLoadingStatic* busyAnimation() const { return busy_; }
  ui::CIconButton* rescanButton() const { return rescan_; }
  // From Rescan until the controls are given back (the search, then half a second with its results).
  bool searching() const { return searchJob_.Active() || settle_.isActive(); }
  QString chosenIp() const { return chosenIp_; }
  QString chosenMac() const { return chosenMac_; }

 protected:
  void OnCommand(int commandId) override;
  void StopWork() override;
  void OpenOverlay(int kind) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void Rescan();
  void Next();
  // False when the chosen recorder's MAC is claimed by another row and the user went back to choose again.
  bool ClaimIsClear(const steps::FoundRecorder& chosen);
  void ShowResults(const steps::RecorderSearch& found);
  void SearchEnded();
  void StopSearch();

  CNvrListCtrl* list_;
  ui::CIconButton* rescan_;
  ui::CAvrelStatic* noDevice_;
  ui::CLoadingStatic* busy_;
  ui::CBaseStatic* description_;
  ui::CLinkStatic* helpLink_;
  QBasicTimer firstSearch_;
  QBasicTimer settle_;  // the half second between the results and the controls given back
  QString chosenIp_, chosenMac_;
  std::vector<steps::FoundRecorder> listed_;  // the rows, in list order
  ResultJob<steps::RecorderSearch> searchJob_;  // last: it stops (and joins) before the fields its work uses go
};

}  // namespace vrx
