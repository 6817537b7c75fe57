#pragma once
// The wizard's page order and what the host does with each navigation code. Plain logic: the host
// (CInterDialog) feeds it the current page type and the recorder's cloud values and acts on the answer.

#include <QString>

#include "platform/Messages.h"

namespace vrx {

// What the host does in answer to WM_WIZ_NAVIGATE.
enum class HostAction {
  ShowPage,       // set pageType to Step::pageType and show that page
  EndWizard,      // end the host's modal loop
  MinimizeFrame,  // forward the code to the frame, which minimises itself
  Ignore,         // unknown code
};

struct NavStep {
  HostAction action;
  int pageType;  // the new pageType for ShowPage, otherwise the unchanged one
};

class PageSequence {
 public:
  // Back and Next are plain arithmetic on the page type: the table order is the wizard's order, so Back on
  // the welcome page yields type 0, which shows nothing new.
  static NavStep Navigate(int pageType, int navCode);

  // The page that ShowPage(pageType) puts on screen, or 0 when the type is outside 1..12 (the current page
  // stays). The cloud page is shown only when the recorder offers the service (value 1 is exactly "1") and
  // has not registered yet (value 0 is not "1"); otherwise the summary takes its place.
  static int DisplayedPage(int pageType, const QString& cloudValue0, const QString& cloudValue1);
};

}  // namespace vrx
