#pragma once
// The live preview popup (overlay kind 8): a speech bubble next to a camera row's preview icon that shows the
// camera's picture, refreshed until the user closes it. The pictures are fetched and decoded by PreviewJob;
// CPreview only paints the latest one.

#include <QImage>
#include <QWidget>
#include <memory>

#include "net/Secret.h"
#include "pages/preview/PreviewRequest.h"
#include "ui/Popup.h"

namespace vrx {

class PreviewJob;
namespace ui {
class CAvrelButton;
}

// The image window (id 1210, 320 x 170): paints the last picture handed to it, stretched to its size.
class CPreview : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kId = 1210;

  explicit CPreview(QWidget* parent);
  // UI thread: keeps the picture and repaints.
  void setPicture(QImage picture);
  const QImage& picture() const { return picture_; }
  int picturesReceived() const { return received_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QImage picture_;
  int received_ = 0;
};

class CPreviewPage : public ui::CPopupPage {
  Q_OBJECT
 public:
  CPreviewPage(QWidget* veil, const PreviewRequest& request);
  ~CPreviewPage() override;

  CPreview* preview() const { return preview_; }
  ui::CAvrelButton* closeButton() const { return close_; }
  // The picture thread (tests read its counters while the popup is open).
  const PreviewJob& job() const { return *job_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void showEvent(QShowEvent*) override;
  void done(int result) override;

 private:
  void StartPictures();

  PreviewRequest request_;  // without its password, which the popup keeps as its own secret
  net::Secret password_;
  CPreview* preview_;
  ui::CAvrelButton* close_;
  std::unique_ptr<PreviewJob> job_;
};

// Registers kind 8 with the overlay veil; its input is a PreviewRequest.
void RegisterPreviewOverlay();

}  // namespace vrx
