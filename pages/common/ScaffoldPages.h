#pragma once
// SCAFFOLDING: frame-only stand-ins for the twelve page types, so the wizard can be walked from the
// welcome page to the summary before the real pages exist. Each shows its background, the close and
// minimise buttons and the Next/Back buttons that page has; the real pages register over them.

#include "pages/common/WizardPage.h"

namespace vrx {

class CScaffoldPage : public CWizardPage {
  Q_OBJECT
 public:
  CScaffoldPage(CInterDialog& host, int pageType);
  int pageType() const { return pageType_; }

 protected:
  void OnCommand(int commandId) override;
  void PaintContent(QPainter& painter) override;

 private:
  int pageType_;
};

// Registers a scaffolding page for every type 1..12.
void RegisterScaffoldPages();

}  // namespace vrx
