#pragma once

class QWidget;

// Keeping a window's content out of screen captures is a window-system service. Where the system offers
// it (Windows: SetWindowDisplayAffinity), the request is passed on; where it does not (X11 and Wayland have
// no such service), the request is only remembered, so that the rest of the application (and its tests) can
// see what was asked, and the settings page tells the user that captures cannot be blocked.

// Asks for the window's content to be hidden from screen captures (true) or allowed in them (false).
// Failures of the window system are ignored: there is nothing the user could do about them.
void setWindowScreenshotProtection(QWidget* window, bool isProtectionRequested);

// The state last asked for with setWindowScreenshotProtection(); false for a window never asked.
bool isWindowScreenshotProtectionRequested(const QWidget* window);

// True when this system can actually keep a window out of screen captures.
bool isScreenshotProtectionSupported();
