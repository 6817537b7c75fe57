#pragma once
// What a search page shows over its list while the list has no rows: the busy animation while a search runs,
// centred on the rows (below the header), and the "none found" line (14-pixel type, accent colour) when a
// search ended without a row; the line is announced when it appears.

#include <QRect>
#include <QString>

class QWidget;

namespace vrx::ui {

class CAvrelStatic;
class CLoadingStatic;

class ListPlaceholder {
 public:
  static constexpr int kNoneFoundId = 1029;
  static constexpr int kBusyId = 1247;

  // listRect: the list's place on page, header included; noneFound: the line's text, at noneFoundRect (centred
  // on the rows when empty). The widgets belong to page; the placeholder only points at them.
  ListPlaceholder(QWidget* page, const QRect& listRect, const QString& noneFound, const QRect& noneFoundRect = {});

  void ShowBusy();
  // Stops and hides the animation.
  void StopBusy();
  // Shows the "none found" line (and announces it), or hides it.
  void ShowNoneFound(bool show);

  CAvrelStatic* noneFound() const { return noneFound_; }
  CLoadingStatic* busy() const { return busy_; }

 private:
  CAvrelStatic* noneFound_ = nullptr;
  CLoadingStatic* busy_ = nullptr;
};

}  // namespace vrx::ui
