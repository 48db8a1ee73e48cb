#include "ScreenshotProtection.h"

#include <QVariant>
#include <QWidget>

#include <windows.h>

namespace
{
const char SCREENSHOT_PROTECTION_PROPERTY[] = "_corvaneScreenshotProtectionRequested";
// WDA_EXCLUDEFROMCAPTURE (Windows 10 version 2004 and later): the window is left out of captures.
constexpr DWORD DISPLAY_AFFINITY_EXCLUDE_FROM_CAPTURE = 0x11;
} // namespace

void setWindowScreenshotProtection(QWidget* window, bool isProtectionRequested)
{
    if (!window)
        return;
    window->setProperty(SCREENSHOT_PROTECTION_PROPERTY, isProtectionRequested);
    // The result is ignored: an older Windows refuses the value, and the user could not change that.
    (void)SetWindowDisplayAffinity(reinterpret_cast<HWND>(window->winId()),
                                   isProtectionRequested ? DISPLAY_AFFINITY_EXCLUDE_FROM_CAPTURE : WDA_NONE);
}

bool isWindowScreenshotProtectionRequested(const QWidget* window)
{
    return window && window->property(SCREENSHOT_PROTECTION_PROPERTY).toBool();
}

bool isScreenshotProtectionSupported()
{
    return true;
}
