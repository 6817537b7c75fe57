#include "AccessibleTree.h"

#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <private/qguiapplication_p.h>

namespace vrx::test {

// Without a reader on the desktop's bus Qt sends no accessibility events at all (QAccessible::setActive only
// tells observers). The platform's switch is what a reader turns on; the offscreen platform has one too.
void ActivateAccessibility() {
  if (QPlatformIntegration* integration = QGuiApplicationPrivate::platformIntegration())
    if (QPlatformAccessibility* accessibility = integration->accessibility()) accessibility->setActive(true);
}

}  // namespace vrx::test
