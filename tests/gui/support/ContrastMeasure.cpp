#include "ContrastMeasure.h"

#include <QHash>
#include <QPixmap>
#include <QWidget>

#include <cmath>

namespace
{
double _linearChannel_helper(double channel)
{
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double _relativeLuminance_helper(const QColor& colour)
{
    return 0.2126 * _linearChannel_helper(colour.redF()) + 0.7152 * _linearChannel_helper(colour.greenF()) +
           0.0722 * _linearChannel_helper(colour.blueF());
}

QHash<QRgb, int> _colourCounts_helper(const QImage& image)
{
    const QImage opaque = image.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> counts;
    for (int y = 0; y < opaque.height(); y++)
    {
        for (int x = 0; x < opaque.width(); x++)
            counts[opaque.pixel(x, y)]++;
    }
    return counts;
}
} // namespace

namespace contrast
{
double ratio(const QColor& first, const QColor& second)
{
    const double a = _relativeLuminance_helper(first);
    const double b = _relativeLuminance_helper(second);
    return (qMax(a, b) + 0.05) / (qMin(a, b) + 0.05);
}

double inkContrast(const QImage& image)
{
    const QHash<QRgb, int> counts = _colourCounts_helper(image);
    QRgb background = 0;
    int highestCount = 0;
    for (auto entry = counts.constBegin(); entry != counts.constEnd(); ++entry)
    {
        if (entry.value() > highestCount)
        {
            highestCount = entry.value();
            background = entry.key();
        }
    }
    double highest = 1.0;
    for (auto entry = counts.constBegin(); entry != counts.constEnd(); ++entry)
        highest = qMax(highest, ratio(QColor::fromRgb(entry.key()), QColor::fromRgb(background)));
    return highest;
}

double inkContrast(QWidget* widget, const QRect& area)
{
    return inkContrast(widget->grab(area.isEmpty() ? widget->rect() : area).toImage());
}
} // namespace contrast
