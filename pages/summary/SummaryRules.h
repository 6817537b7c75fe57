#pragma once
// What the summary page decides without a window: which of the four panels shows, and where the camera
// section puts each added camera.

#include <QLine>
#include <QRect>
#include <QString>
#include <array>

namespace vrx::summary {

// The four panels, by the class name each one carries.
enum class Panel {
  NvrCloudCameras,  // CSummaryTable: at least one added camera and a cloud account
  Nvr,              // CSummaryTable2: neither
  NvrCloud,         // CSummaryTable3: a cloud account, no added camera
  NvrCameras,       // CSummaryTable4: added cameras, no cloud account
};

Panel ChoosePanel(int addedCameras, const QString& cloudEmail);
const char* PanelClassName(Panel panel);
bool ShowsCloud(Panel panel);
bool ShowsCameras(Panel panel);

// Camera entry i (in list order, two per row) in the panel's own coordinates: its text box and the five
// strokes of the small triangle before it.
struct CameraSlot {
  QRect text;
  std::array<QLine, 5> triangle;
};
CameraSlot CameraSlotAt(int index);

}  // namespace vrx::summary
