#pragma once

// Contrast of what is drawn, as the accessibility guidelines (WCAG 2) define it: from 1:1 for the same
// colour to 21:1 for black on white. Text needs at least 4.5:1.

#include <QColor>
#include <QImage>
#include <QRect>

class QWidget;

namespace contrast
{
constexpr double MINIMUM_TEXT_CONTRAST = 4.5;
// The outline that shows where a control is.
constexpr double MINIMUM_BORDER_CONTRAST = 3.0;

double ratio(const QColor& first, const QColor& second);

// The contrast of the ink in a picture: the commonest colour is taken as the background, and the ink
// as the pixel that stands out most from it.
double inkContrast(const QImage& image);
// The same for what a widget draws in an area (widget coordinates; the whole widget when empty).
double inkContrast(QWidget* widget, const QRect& area = QRect());
// The contrast of a control's outline against the colour around it: the pixels on the outer edges of what
// the widget draws in an area (the middle of its left and top sides), the weaker of the two sides.
double borderContrast(QWidget* widget, const QColor& surrounding, const QRect& area = QRect());
} // namespace contrast
