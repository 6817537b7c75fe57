#pragma once
// Frame-only stand-ins for the twelve page types, for tests of the host and the page frame and for tests that
// need a page to arrive at. Each shows its background, the close and minimise buttons and the Next/Back
// buttons that page has.

#include "pages/common/WizardPage.h"

namespace vrx {

class CStandInPage : public CWizardPage {
  Q_OBJECT
 public:
  CStandInPage(CInterDialog& host, int pageType);
  int pageType() const { return pageType_; }

 protected:
  void OnCommand(int commandId) override;
  void PaintContent(QPainter& painter) override;

 private:
  int pageType_;
};

// Registers a stand-in page for every type 1..12.
void RegisterStandInPages();

}  // namespace vrx
