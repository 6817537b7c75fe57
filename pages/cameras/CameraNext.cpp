#include "pages/cameras/CameraNext.h"

#include <QStringList>
#include <algorithm>

#include "i18n/LangString.h"
#include "steps/PeerQText.h"

namespace vrx {

// What the values mean is the cloud step's (steps/cloud/CloudStatusStep.h).
steps::CloudValues CloudValuesBeforeRead() { return steps::CloudValuesBeforeRead(); }

steps::CloudValues CloudValuesAfterRead(const steps::CloudStatusResult& read) { return steps::CloudValuesOf(read); }

int UpdateVeilTicks(const std::vector<steps::CameraRecord>& cameras, const steps::CameraUpdatePolls& polls,
                    int tickMs) {
  const int worst = steps::UpdateWorstCaseMs(cameras, polls) / tickMs;
  return std::max(kNextVeilTicks, worst + kNextVeilTicks / 10);
}

QString UnfinishedChangesText(const std::vector<steps::CameraChange>& changes,
                              const std::vector<steps::CameraRecord>& cameras) {
  QStringList lines;
  for (const steps::CameraChange& change : changes) {
    if (change.finished || change.index < 0 || change.index >= int(cameras.size())) continue;
    const steps::CameraRecord& c = cameras[std::size_t(change.index)];
    const QString model = steps::PeerQText(c.model);
    const QString address = steps::PeerQText(c.address);
    lines << (change.kind == steps::CameraChange::kAdd
                  ? GetLangString(QStringLiteral("camsearch_add_unfinished"), QStringLiteral("Not added: {0} ({1})"),
                                  model, address)
                  : GetLangString(QStringLiteral("camsearch_remove_unfinished"),
                                  QStringLiteral("Not removed: {0} ({1})"), model, address));
  }
  if (lines.isEmpty()) return {};
  return GetLangString(QStringLiteral("camsearch_update_unfinished"),
                       QStringLiteral("The NVR did not confirm every change:")) +
         QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
}

}  // namespace vrx
