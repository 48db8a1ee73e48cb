#pragma once

#include <QColor>
#include <QPalette>

class QApplication;
class QStyle;

// A dark look on request, for checking the application and its help under a dark theme on desktops
// whose platform theme offers none: the environment variable CORVANE_PALETTE=dark selects createStyle()
// with darkPalette().
class ApplicationPalette
{
public:
    static QPalette darkPalette();
    // The Fusion style with the outlines of fields, lists, buttons, check boxes and spin boxes drawn in
    // outlineColour(), which stands out from the window and field backgrounds by at least 3:1.
    static QStyle* createStyle();
    static QColor outlineColour(const QPalette& palette);
    static void applyRequestedPalette(QApplication& application);
};
