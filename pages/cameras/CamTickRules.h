#pragma once
// The camera list's tick rules: at most four rows ticked, every other row grey (and deaf to clicks) once four
// are, the ticked count that the camera page and its list share, and what a click on an unticked row's box leads
// to. Plain data, checked without a window.

#include <atomic>

#include "steps/cameras/CameraCount.h"
#include "steps/cameras/CameraRecord.h"

namespace vrx {

inline constexpr int kMaxTicked = steps::kMaxCameras;  // the recorder records no more

enum class TickClick {
  Untick,     // the row was ticked: untick it
  ReportRow,  // an unticked row while fewer than four are ticked: ask the page
  Nothing,    // four rows are ticked already: an unticked row cannot be ticked
};

TickClick DecideTickClick(bool ticked, int checkedCount);
// Rows that can no longer be ticked are drawn grey.
inline bool RowIsGrey(bool ticked, int checkedCount) { return !ticked && checkedCount >= kMaxTicked; }

// The rules over one shared count (the list's checkedCount).
class CamTickRules {
 public:
  explicit CamTickRules(std::atomic<int>& count) : count_(count) {}

  int count() const { return count_.load(); }
  bool CanTick() const { return count() < kMaxTicked; }
  TickClick Click(bool ticked) const { return DecideTickClick(ticked, count()); }
  bool IsGrey(bool ticked) const { return RowIsGrey(ticked, count()); }
  // Counts one more ticked row; false (nothing counted) when four are ticked already.
  bool Tick();
  // Counts one row less, never below 0.
  void Untick();
  void Reset() { count_ = 0; }

 private:
  std::atomic<int>& count_;
};

// What a click on an unticked row's box leads to.
enum class TickStep {
  Refused,         // four rows are ticked already
  Unusable,        // the row's address is not one the wizard contacts
  TickNow,         // the password is known: tick without asking
  EnterPassword,   // ask for the camera's existing password
  CreatePassword,  // the camera is in its factory state: ask for a new one
};
struct TickState {
  bool usable = true;         // the row's address is one the wizard contacts
  bool passwordKnown = false; // the row's flag
  int tickedCount = 0;        // rows ticked now
};
TickStep ChooseTickStep(const steps::CameraRecord& camera, const TickState& row);

}  // namespace vrx
