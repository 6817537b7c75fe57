#pragma once
// What the camera page's Next does, decided without a window: the cloud values it sets before and after it reads
// the recorder's cloud state, how long its veil stays, and the text that names cameras whose add or remove did
// not finish.

#include <QString>
#include <vector>

#include "steps/cameras/CameraRecord.h"
#include "steps/cameras/CameraRules.h"
#include "steps/cameras/CameraUpdateStep.h"
#include "steps/cloud/CloudStatusStep.h"

namespace vrx {

// Next reads the recorder's cloud state first. Until the read says otherwise every value of an earlier read is
// gone and access reads "0" (so the cloud page is skipped); a read that gave portal values brings them all.
steps::CloudValues CloudValuesBeforeRead();
steps::CloudValues CloudValuesAfterRead(const steps::CloudStatusResult& read);

// The waiting veil of Next, in its 100 ms ticks: 1100, or, for the update, as long as the planned changes can
// take and a tenth of that more, so that it never lifts while the recorder is still being changed.
inline constexpr int kNextVeilTicks = 1100;
int UpdateVeilTicks(const std::vector<steps::CameraRecord>& cameras, const steps::CameraUpdatePolls& polls,
                    int tickMs);

// The user's text for the changes that did not finish ("" when all finished): one line per camera with its model
// and address.
QString UnfinishedChangesText(const std::vector<steps::CameraChange>& changes,
                              const std::vector<steps::CameraRecord>& cameras);

}  // namespace vrx
