#pragma once
// What the summary page decides without a window: which of the four panels shows, where the camera section
// puts each added camera, and the panel's lines: the one model its painting, its accessible rows and its
// headings are all read from.

#include <QLine>
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>

#include "steps/cameras/CameraRecord.h"

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

// The cameras the summary lists: those the recorder confirmed adding (the camera page's added flag), in list
// order, as their models (the recorder's text, cleaned and bounded for showing).
QStringList AddedCameraModels(const std::vector<std::unique_ptr<steps::CameraRecord>>& cameras);

// Camera entry i (in list order, two per row) in the panel's own coordinates: its text box and the five
// strokes of the small triangle before it.
struct CameraSlot {
  QRect text;
  std::array<QLine, 5> triangle;
};
CameraSlot CameraSlotAt(int index);

// What the panel shows, as the page has it (camera models already cleaned of a peer's control characters).
struct Values {
  QString adminPassword, cloudEmail, cloudPassword;
  QStringList cameraModels;  // the added cameras, in list order
};

// The captions, in the current language ("NVR" and "kelvaro" are names, the same in every language).
struct Captions {
  QString cameras, password, email;
};

// One line of the panel, in reading order: a section heading, a "label: value" row, or a camera entry.
struct Line {
  enum class Kind { Heading, Row, Camera };
  Kind kind;
  QString text;
  QRect box;        // in the panel's own coordinates
  int camera = -1;  // for a camera entry: its index (where its triangle goes)
};

std::vector<Line> PanelLines(Panel panel, const Values& values, const Captions& captions);
// The headings among lines, in order.
QStringList Headings(const std::vector<Line>& lines);

}  // namespace vrx::summary
