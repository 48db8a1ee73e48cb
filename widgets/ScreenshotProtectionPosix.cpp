#include "ScreenshotProtection.h"

#include <QVariant>
#include <QWidget>

namespace
{
const char SCREENSHOT_PROTECTION_PROPERTY[] = "_corvaneScreenshotProtectionRequested";
} // namespace

void setWindowScreenshotProtection(QWidget* window, bool isProtectionRequested)
{
    if (!window)
        return;
    window->setProperty(SCREENSHOT_PROTECTION_PROPERTY, isProtectionRequested);
    // Neither X11 nor Wayland lets a client exclude its window from captures: the compositor or any X
    // client can read the screen. Nothing more can be done here than remembering the wish.
}

bool isWindowScreenshotProtectionRequested(const QWidget* window)
{
    return window && window->property(SCREENSHOT_PROTECTION_PROPERTY).toBool();
}

bool isScreenshotProtectionSupported()
{
    return false;
}
