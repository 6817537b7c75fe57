#pragma once
// The camera page's choice without a window: the cameras the recorder listed (kept in the run's record), which
// rows are ticked, the at-most-four rule over the ticked count that the list shares, the passwords proven in
// this run (kept across rescans for the camera id at the address they were proven at), what a tick needs first,
// and what Next sends: the cameras ticked at Next (selected), then those the recorder confirmed (added).
//
// A row whose address is not one the wizard contacts is shown but never usable: it cannot be ticked and is
// never contacted. Every text a row shows is the peer's text cleaned and bounded as it came in.

#include <QString>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "pages/cameras/CamTickRules.h"
#include "pages/cameras/RememberedCameras.h"
#include "steps/cameras/CameraPasswordStep.h"
#include "steps/cameras/CameraRules.h"

namespace vrx {

using steps::CameraRecord;

// What a row shows and how it may be used.
struct CameraRow {
  QString model;        // cleaned for display
  QString address;      // cleaned for display
  bool usable = true;   // its address is one the wizard contacts
  bool ticked = false;
  bool passwordKnown = false;
};

class CameraSelection {
 public:
  using Records = std::vector<std::unique_ptr<CameraRecord>>;
  // records: the run's camera list, refilled on every scan.
  explicit CameraSelection(Records& records) : records_(records) {}

  // The ticked count (0..4), shared with the list control.
  std::atomic<int>& checkedCount() { return checkedCount_; }
  int ticked() const { return checkedCount_.load(); }

  // A scan starts: the proven passwords of the shown rows are remembered (with their ticks), the rows go.
  void BeginScan();
  // The recorder's lines arrived: the records and rows are rebuilt; a remembered camera (same id, same
  // address) gets its password and tick back.
  void Rebuild(const std::vector<std::string>& lines);

  const std::vector<CameraRow>& rows() const { return rows_; }
  int rowCount() const { return int(rows_.size()); }
  // The record behind a row (null for a row that is gone).
  CameraRecord* Record(int row) const;

  TickStep DecideTick(int row) const;
  // Ticks the row and raises the count; false when it cannot be (four ticked, unusable, already ticked).
  bool Tick(int row);
  // The list unticked the row (it lowers the shared count itself, as the user clicked it there).
  void Unticked(int row);
  // The camera the result names took the password (`created`: as its first, set from its factory state): kept
  // in its record, its row's password is known. The row that shows that camera at that address, or -1 when none
  // does any more.
  int PasswordProven(const steps::CameraPasswordResult& result, net::Secret password, bool created = false);

  // Next: the ticked rows become selected, every other record not.
  void MarkSelected();
  // Copies of the records for the update.
  std::vector<CameraRecord> Snapshot() const;
  // The recorder's answers: a camera counts as added only when its add finished.
  void Confirm(const std::vector<steps::CameraChange>& changes);

  const RememberedCameras& remembered() const { return remembered_; }

 private:
  Records& records_;
  std::vector<CameraRow> rows_;  // one per record, same order
  RememberedCameras remembered_;
  std::atomic<int> checkedCount_{0};
};

}  // namespace vrx
