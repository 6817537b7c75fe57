// The summary's camera section without a window: which cameras it lists (only those the recorder confirmed
// adding, in list order) and how their models are shown (the recorder's text, cleaned and bounded).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "pages/summary/SummaryRules.h"
#include "steps/PeerQText.h"
#include "tests/i18n/QStringPrinter.h"

using namespace vrx;

TEST(SummaryCameras, OnlyConfirmedAddsInListOrderCleaned) {
  struct Camera {
    const char* model;
    int selected, added;
  };
  const struct {
    const char* name;
    std::vector<Camera> cameras;
    QStringList shown;
  } cases[] = {
      {"none", {}, {}},
      {"ticked but not confirmed", {{"HVC-2230", 1, 0}}, {}},
      {"confirmed", {{"HVC-2230", 1, 1}, {"HVC-1120", 0, 0}, {"HVC-0810", 1, 1}}, {"HVC-2230", "HVC-0810"}},
      {"hostile model", {{"HVC\x1b[2J-\u202E9", 1, 1}}, {"HVC[2J-9"}},
      {"empty model", {{"", 1, 1}}, {QString()}},
  };
  for (const auto& c : cases) {
    std::vector<std::unique_ptr<steps::CameraRecord>> records;
    for (const Camera& camera : c.cameras) {
      auto r = std::make_unique<steps::CameraRecord>();
      r->model = QString::fromUtf8(camera.model);
      r->selected = camera.selected;
      r->added = camera.added;
      records.push_back(std::move(r));
    }
    EXPECT_EQ(summary::AddedCameraModels(records), c.shown) << c.name;
  }
  std::vector<std::unique_ptr<steps::CameraRecord>> longOne;
  longOne.push_back(std::make_unique<steps::CameraRecord>());
  longOne[0]->model = QString(1000, 'M');
  longOne[0]->added = 1;
  EXPECT_EQ(summary::AddedCameraModels(longOne).front().size(), steps::kPeerTextMaxChars);
}
