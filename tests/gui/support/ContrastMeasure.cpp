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

double borderContrast(QWidget* widget, const QColor& surrounding, const QRect& area)
{
    const QImage image =
        widget->grab(area.isEmpty() ? widget->rect() : area).toImage().convertToFormat(QImage::Format_RGB32);
    // Two pixels deep: an outline drawn half a pixel in may spread over the first two.
    double left = 1.0;
    double top = 1.0;
    for (int depth = 0; depth < 2; depth++)
    {
        left = qMax(left, ratio(QColor::fromRgb(image.pixel(depth, image.height() / 2)), surrounding));
        top = qMax(top, ratio(QColor::fromRgb(image.pixel(image.width() / 2, depth)), surrounding));
    }
    return qMin(left, top);
}
} // namespace contrast
