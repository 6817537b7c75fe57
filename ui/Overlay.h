#pragma once
// The dimming veil. A page opens a popup by running a CTransparentPage modally: the veil (860 x 640, black at
// 153/255) covers the wizard, opens the popup of its overlay kind modally on top of itself 50 ms later, and ends
// with OK or Cancel as the kind's rule says. A kind without registered content ends with Cancel at once.
//
// Popup content is registered by kind, so page code adds its popups without touching the toolkit:
//
//   vrx::ui::RegisterOverlay(vrx::ui::kOverlayLed, [](QWidget* veil, const vrx::ui::OverlayInputs& in) {
//     return std::make_unique<CLEDRedPage>(veil);
//   });
//
// The toolkit registers its own alerts (kinds 5, 12, 14) itself.

#include <QDialog>
#include <QPoint>
#include <QString>
#include <any>

#include "ui/Veil.h"
#include <functional>
#include <memory>
#include <optional>

namespace vrx::ui {

enum OverlayKind : int {
  kOverlayLed = 2,
  kOverlayReset = 3,
  kOverlayMac = 4,
  kOverlayAlarm = 5,
  kOverlayInstallCamera = 6,
  kOverlayCameraPassword = 7,
  kOverlayPreview = 8,
  kOverlayAgreement = 9,
  kOverlayNetAlarm = 12,
  kOverlayNoDevice = 13,
  kOverlayError = 14,
  kOverlayMacClaimed = 15,  // the recorder search page's warning: one MAC, more than one device
};

// How the veil ends once its popup has closed.
enum class OverlayEnd {
  PopupResult,  // OK when the popup returned OK, else Cancel
  AlwaysOk,
  AlwaysCancel,
};

// The rule of a kind; nullopt for a kind the wizard does not know.
std::optional<OverlayEnd> OverlayEndFor(int kind);
// The veil's result (QDialog::Accepted or Rejected) for that rule and the popup's result.
int VeilResult(OverlayEnd end, int popupResult);

// What the opener hands to the popup: the toolkit's own alerts read the first fields; a page's popup reads
// what its page put into `page` (the MAC text of the help popup, the camera of the preview, ...) with
// PageInput<T>, so the toolkit knows nothing of any page's popups.
struct OverlayInputs {
  int alertType = 0;   // kind 5: 0 "No HD Found", 1 "Important Alert"
  int cancelFlag = 0;  // kind 5: 1 shows CANCEL beside OK
  QString errorText;   // kind 14; empty = "Check Network Failed!"
  std::any page;       // a page popup's inputs
};

// The page popup's inputs of type T, or null when the opener put none (or another type) in.
template <class T>
const T* PageInput(const OverlayInputs& inputs) {
  return std::any_cast<T>(&inputs.page);
}

// Builds the popup for a kind; veil is its parent (the popup places itself relative to veil's origin).
using OverlayFactory = std::function<std::unique_ptr<QDialog>(QWidget* veil, const OverlayInputs& inputs)>;

// Registers (or replaces) the content of a kind. UI thread only.
void RegisterOverlay(int kind, OverlayFactory factory);
bool HasOverlay(int kind);

class CTransparentPage : public QDialog {
  Q_OBJECT
 public:
  static constexpr QSize kSize{860, 640};
  static constexpr int kOpacity = 153;     // of 255
  static constexpr int kFirstTickMs = 50;

  explicit CTransparentPage(QWidget* parent = nullptr);
  ~CTransparentPage() override;

  void setPosition(QPoint screenTopLeft);
  void setKind(int kind) { kind_ = kind; }
  int kind() const { return kind_; }
  OverlayInputs& inputs() { return inputs_; }

  // The popup while it is open (tests and the gallery look at it), else null.
  QDialog* popup() const { return popup_; }

 protected:
  void showEvent(QShowEvent*) override;
  void timerEvent(QTimerEvent*) override;
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent*) override;

 private:
  void openPopup();
  int kind_ = 0;
  OverlayInputs inputs_;
  int timerId_ = -1;
  VeilBackdrop backdrop_;
  QDialog* popup_ = nullptr;
};

// Runs a veil with that kind over page (placed at the page's screen position) and returns its result
// (Rejected when the page was destroyed meanwhile). Prefer it to a CTransparentPage on the stack.
int OpenOverlay(QWidget* page, int kind, const OverlayInputs& inputs = {});

}  // namespace vrx::ui
