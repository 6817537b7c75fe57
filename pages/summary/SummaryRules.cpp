#include "pages/summary/SummaryRules.h"

#include "steps/PeerQText.h"

namespace vrx::summary {
namespace {

constexpr int kFirstRowY = 150, kRowHeight = 32;
constexpr int kEvenX = 150, kEvenWidth = 250, kOddX = 430, kOddWidth = 200;
constexpr int kTriangleOffset = 10;  // the triangle starts this far left of its text
constexpr int kTriangleTop = 11, kTriangleBottom = 21;
// Headings in a left column, values from x 150 (where the camera entries start too).
constexpr int kHeadingX = 20, kHeadingWidth = 120, kValueX = 150, kValueWidth = 540, kLineHeight = 32;
constexpr int kNvrY = 0, kCloudY = 50, kCamerasY = 150;

}  // namespace

Panel ChoosePanel(int addedCameras, const QString& cloudEmail) {
  const bool cloud = !cloudEmail.isEmpty();
  if (addedCameras > 0) return cloud ? Panel::NvrCloudCameras : Panel::NvrCameras;
  return cloud ? Panel::NvrCloud : Panel::Nvr;
}

QStringList AddedCameraModels(const std::vector<std::unique_ptr<steps::CameraRecord>>& cameras) {
  QStringList models;
  for (const auto& camera : cameras)
    if (camera && camera->added == 1) models << steps::PeerQText(camera->model);
  return models;
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
  for (int j = 0; j < 5; ++j) slot.triangle[j] = QLine(x + j, y + kTriangleTop + j, x + j, y + kTriangleBottom - j);
  return slot;
}

std::vector<Line> PanelLines(Panel panel, const Values& values, const Captions& captions) {
  using Kind = Line::Kind;
  const auto heading = [](int y, const QString& text) {
    return Line{Kind::Heading, text, QRect(kHeadingX, y, kHeadingWidth, kLineHeight)};
  };
  const auto row = [](int y, const QString& label, const QString& value) {
    return Line{Kind::Row, label + QStringLiteral(": ") + value, QRect(kValueX, y, kValueWidth, kLineHeight)};
  };
  std::vector<Line> lines{heading(kNvrY, QStringLiteral("NVR")), row(kNvrY, captions.password, values.adminPassword)};
  if (ShowsCloud(panel)) {
    lines.push_back(heading(kCloudY, QStringLiteral("kelvaro")));
    lines.push_back(row(kCloudY, captions.email, values.cloudEmail));
    lines.push_back(row(kCloudY + kLineHeight, captions.password, values.cloudPassword));
  }
  if (ShowsCameras(panel)) {
    lines.push_back(heading(kCamerasY, captions.cameras));
    for (int i = 0; i < values.cameraModels.size(); ++i)
      lines.push_back(Line{Kind::Camera, values.cameraModels[i], CameraSlotAt(i).text, i});
  }
  return lines;
}

QStringList Headings(const std::vector<Line>& lines) {
  QStringList out;
  for (const Line& line : lines)
    if (line.kind == Line::Kind::Heading) out << line.text;
  return out;
}

}  // namespace vrx::summary
