#include "ui/ListPlaceholder.h"

#include "ui/Accessible.h"
#include "ui/Labels.h"
#include "ui/ListCtrl.h"
#include "ui/Palette.h"

namespace vrx::ui {

namespace {
constexpr int kNoneFoundPx = 14;
constexpr int kNoneFoundHeight = 24;
}  // namespace

ListPlaceholder::ListPlaceholder(QWidget* page, const QRect& listRect, const QString& noneFound,
                                 const QRect& noneFoundRect) {
  const QRect rows = listRect.adjusted(0, CSkinListCtrl::kHeaderHeight, 0, 0);

  noneFound_ = new CAvrelStatic(page, kNoneFoundId);
  noneFound_->setTextSize(kNoneFoundPx);
  noneFound_->setTextColor(palette::kAccent);
  noneFound_->setAlignment(Qt::AlignCenter);
  noneFound_->setText(noneFound);
  QRect line(0, 0, rows.width(), kNoneFoundHeight);
  line.moveCenter(rows.center());
  noneFound_->setGeometry(noneFoundRect.isEmpty() ? line : noneFoundRect);
  noneFound_->hide();

  busy_ = new CLoadingStatic(page, kBusyId);
  busy_->setTextColor(palette::kAccent);
  QRect busyRect(QPoint(0, 0), busy_->sizeHint());
  busyRect.moveCenter(rows.center());
  busy_->setGeometry(busyRect);
  busy_->hide();
}

void ListPlaceholder::ShowBusy() {
  noneFound_->hide();
  busy_->show();
  busy_->raise();
  busy_->Start();
}

void ListPlaceholder::StopBusy() {
  busy_->Stop();
  busy_->hide();
}

void ListPlaceholder::ShowNoneFound(bool show) {
  noneFound_->setVisible(show);
  if (show) Announce(noneFound_, noneFound_->text());
}

}  // namespace vrx::ui
