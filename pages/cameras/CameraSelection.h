#pragma once
// The camera page's choice without a window: the cameras the recorder listed (kept in the run's record), which
// rows are ticked, the at-most-four rule over the ticked count that the list shares, the passwords proven in
// this run (kept across rescans by camera id), what a tick needs first, and what Next sends: the cameras ticked
// at Next (selected), then those the recorder confirmed (added), and the text naming what did not finish.
//
// A row whose address is not a device address (net::IsDeviceAddress) is shown but never usable: it cannot be
// ticked and is never contacted. Every text a row shows comes through net::CleanPeerText.

#include <QString>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "app/CameraRecord.h"
#include "pages/cameras/CameraRules.h"

namespace vrx {

// What a row shows and how it may be used.
struct CameraRow {
  QString model;        // cleaned for display
  QString address;      // cleaned for display
  bool usable = true;   // its address is one the wizard contacts
  bool ticked = false;
  bool passwordKnown = false;
};

// What a tick on an unticked row leads to.
enum class TickDecision {
  Refused,         // four rows are ticked already
  Unusable,        // the row's address is not one the wizard contacts
  TickNow,         // the password is known: tick without asking
  EnterPassword,   // ask for the camera's existing password
  CreatePassword,  // the camera is in its factory state: ask for a new one
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
  // The recorder's lines arrived: the records and rows are rebuilt; remembered cameras get their password and
  // tick back.
  void Rebuild(const std::vector<std::string>& lines);

  const std::vector<CameraRow>& rows() const { return rows_; }
  int rowCount() const { return int(rows_.size()); }
  // The record behind a row (null for a row that is gone).
  CameraRecord* Record(int row) const;

  TickDecision DecideTick(int row) const;
  // Ticks the row and raises the count; false when it cannot be (four ticked, unusable, already ticked).
  bool Tick(int row);
  // The list unticked the row (it lowers the shared count itself, as the user clicked it there).
  void Unticked(int row);
  // The camera took the password (checked or set): kept in the record, the row's password is known.
  void PasswordProven(int row, const QString& password);
  // What the password request for the row needs (the typed password or the new one).
  CameraTarget Target(int row, const QString& password) const;

  // Next: the ticked rows become selected, every other record not.
  void MarkSelected();
  // Copies of the records for the update job.
  std::vector<CameraRecord> Snapshot() const;
  // The recorder's answers: a camera counts as added only when its add finished.
  void Confirm(const std::vector<CameraChange>& changes);

  const RememberedCameras& remembered() const { return remembered_; }

 private:
  Records& records_;
  std::vector<CameraRow> rows_;  // one per record, same order
  RememberedCameras remembered_;
  std::atomic<int> checkedCount_{0};
};

}  // namespace vrx
