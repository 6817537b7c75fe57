#pragma once
// Page creation without a link from the host to the pages: the pages library registers one factory per
// page type at start-up (RegisterAllPages, pages/AllPages.h), the host asks the registry when it shows a
// page. A later registration for the same type replaces the earlier one.

#include <QWidget>
#include <functional>

namespace vrx {

class CInterDialog;

// Creates the page object as a child of host (and performs the hand-offs that page needs from the host).
// The host shows it.
using PageFactory = std::function<QWidget*(CInterDialog& host)>;

void RegisterPage(int pageType, PageFactory factory);
// The factory for pageType, or an empty function when none is registered.
PageFactory FindPageFactory(int pageType);
// Forgets every registration (tests).
void ClearPageRegistry();

}  // namespace vrx
