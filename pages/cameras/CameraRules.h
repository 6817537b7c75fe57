#pragma once
// What the camera page decides without a window or a socket (the steps' own rules are in
// steps/cameras/CameraRules.h): the passwords proven in this run and where they hold, what a click on a row's
// tick box leads to, the language key of a refused new password, what Next does to the cloud values and how
// long its veil stays, and the text that names cameras whose add or remove did not finish.

#include <QString>
#include <vector>

#include "net/Secret.h"
#include "steps/cameras/CameraRecord.h"
#include "steps/cameras/CameraRules.h"
#include "steps/cameras/CameraUpdateStep.h"
#include "steps/cloud/CloudStatusStep.h"

namespace vrx {

using steps::CameraRecord;

// A password proven in this run, for one camera at one address: the same id seen at another address is another
// device as far as the wizard knows, and is asked again.
struct RememberedCamera {
  QString address;
  QString cameraId;
  int ticked = 0;
  int created = 0;  // the password was the camera's first, given in this run
  net::Secret password;
};

class RememberedCameras {
 public:
  // A row with a known password: the camera is remembered under its id and address with the row's tick
  // (nothing for a camera without a password).
  void Remember(const CameraRecord& camera, bool ticked);
  // The entry for this camera at this address, or null.
  const RememberedCamera* Find(const QString& cameraId, const QString& address) const;
  const std::vector<RememberedCamera>& entries() const { return entries_; }

 private:
  std::vector<RememberedCamera> entries_;
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
TickStep ChooseTickStep(const CameraRecord& camera, const TickState& row);

// The create popup's refusal as a language key (empty for None); the rule's wording is the files' camsearch_08.
inline constexpr const char* kCameraPasswordRuleKey = "camsearch_08";
inline constexpr const char* kCameraPasswordRule =
    "The password must be between 6-30 characters; not contain special characters: (/), (:), (&),(space).";
const char* NewPasswordFaultKey(steps::NewCameraPasswordFault fault);

// Next reads the recorder's cloud state first. Until the read says otherwise every value of an earlier read is
// gone and access reads "0" (so the cloud page is skipped); a read that gave portal values brings them all.
steps::CloudValues CloudValuesBeforeRead();
steps::CloudValues CloudValuesAfterRead(const steps::CloudStatusResult& read);

// The waiting veil of Next, in its 100 ms ticks: 1100, or, for the update, as long as the planned changes can
// take and a tenth of that more, so that it never lifts while the recorder is still being changed.
inline constexpr int kNextVeilTicks = 1100;
int UpdateVeilTicks(const std::vector<CameraRecord>& cameras, const steps::CameraUpdatePolls& polls, int tickMs);

// The user's text for the changes that did not finish ("" when all finished): one line per camera with its model
// and address.
QString UnfinishedChangesText(const std::vector<steps::CameraChange>& changes, const std::vector<CameraRecord>& cameras);

}  // namespace vrx
