#include "pages/summary/SummaryRules.h"

namespace vrx::summary {
namespace {

constexpr int kFirstRowY = 150, kRowHeight = 32;
constexpr int kEvenX = 150, kEvenWidth = 250, kOddX = 430, kOddWidth = 200;
constexpr int kTriangleOffset = 10;  // the triangle starts this far left of its text
constexpr int kTriangleTop = 11, kTriangleBottom = 21;

}  // namespace

Panel ChoosePanel(int addedCameras, const QString& cloudEmail) {
  const bool cloud = !cloudEmail.isEmpty();
  if (addedCameras > 0) return cloud ? Panel::NvrCloudCameras : Panel::NvrCameras;
  return cloud ? Panel::NvrCloud : Panel::Nvr;
}

const char* PanelClassName(Panel panel) {
  switch (panel) {
    case Panel::NvrCloudCameras: return "CSummaryTable";
    case Panel::Nvr: return "CSummaryTable2";
    case Panel::NvrCloud: return "CSummaryTable3";
    case Panel::NvrCameras: return "CSummaryTable4";
  }
  return "CSummaryTable2";
}

bool ShowsCloud(Panel panel) { return panel == Panel::NvrCloudCameras || panel == Panel::NvrCloud; }
bool ShowsCameras(Panel panel) { return panel == Panel::NvrCloudCameras || panel == Panel::NvrCameras; }

CameraSlot CameraSlotAt(int index) {
  const int row = index / 2;
  const bool even = index % 2 == 0;
  const int y = kFirstRowY + kRowHeight * row;
  CameraSlot slot;
  slot.text = even ? QRect(kEvenX, y, kEvenWidth, kRowHeight) : QRect(kOddX, y, kOddWidth, kRowHeight);
  const int x = slot.text.x() - kTriangleOffset;
  for (int j = 0; j < 5; ++j)
    slot.triangle[j] = QLine(x + j, y + kTriangleTop + j, x + j, y + kTriangleBottom - j);
  return slot;
}

}  // namespace vrx::summary
