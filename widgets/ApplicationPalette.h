#pragma once

#include <QPalette>

class QApplication;

// A dark look on request, for checking the application and its help under a dark theme on desktops
// whose platform theme offers none: the environment variable CORVANE_PALETTE=dark selects the Fusion
// style with darkPalette().
class ApplicationPalette
{
public:
    static QPalette darkPalette();
    static void applyRequestedPalette(QApplication& application);
};
