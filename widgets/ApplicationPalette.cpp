#include "ApplicationPalette.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

#include <cmath>

namespace
{
constexpr double MINIMUM_BORDER_CONTRAST = 3.0;

double _linearChannel_helper(double channel)
{
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double _relativeLuminance_helper(const QColor& colour)
{
    return 0.2126 * _linearChannel_helper(colour.redF()) + 0.7152 * _linearChannel_helper(colour.greenF()) +
           0.0722 * _linearChannel_helper(colour.blueF());
}

double _contrast_helper(const QColor& first, const QColor& second)
{
    const double a = _relativeLuminance_helper(first);
    const double b = _relativeLuminance_helper(second);
    return (qMax(a, b) + 0.05) / (qMin(a, b) + 0.05);
}

// The colour moved towards the window text in small steps until it stands out from the window and from the
// field backgrounds by at least the contrast a control's outline needs.
QColor _outlineColour_helper(const QColor& start, const QPalette& palette)
{
    const QColor window = palette.color(QPalette::Window);
    const QColor base = palette.color(QPalette::Base);
    const QColor ink = palette.color(QPalette::WindowText);
    QColor colour = start;
    for (int step = 1; step <= 20; step++)
    {
        if (_contrast_helper(colour, window) >= MINIMUM_BORDER_CONTRAST &&
            _contrast_helper(colour, base) >= MINIMUM_BORDER_CONTRAST)
            break;
        const double share = step / 20.0;
        colour = QColor::fromRgbF(float(start.redF() + (ink.redF() - start.redF()) * share),
                                  float(start.greenF() + (ink.greenF() - start.greenF()) * share),
                                  float(start.blueF() + (ink.blueF() - start.blueF()) * share));
    }
    return colour;
}

// Fusion draws the outlines of fields, lists, buttons and check boxes in a shade of the window colour, which
// on a dark window cannot stand out from it. This style redraws those outlines where Fusion put them, in a
// colour that keeps them visible; the rest is Fusion's.
class ContrastOutlineStyle : public QProxyStyle
{
public:
    ContrastOutlineStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element == PE_FrameLineEdit)
        {
            // Fusion's field frame is only its outline: drawn here in full.
            drawOutline(option, painter, QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5), 2.0);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        switch (element)
        {
        case PE_PanelButtonCommand:
        {
            const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
            if (button && (button->features & QStyleOptionButton::Flat) && !(option->state & State_Sunken))
                return;
            drawOutline(option, painter, QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5), 2.0);
            break;
        }
        case PE_Frame:
            // The frame of lists, tables and text areas: where they begin on the window.
            if (qobject_cast<const QAbstractScrollArea*>(widget))
                drawOutline(option, painter, QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5), 0.0);
            break;
        case PE_IndicatorCheckBox:
            drawOutline(option, painter, QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5), 0.0);
            break;
        case PE_IndicatorRadioButton:
            drawOutline(option, painter, QRectF(option->rect).adjusted(1.5, 1.5, -1.5, -1.5), -1.0);
            break;
        default:
            break;
        }
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        if (control == CC_SpinBox)
            drawOutline(option, painter, QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5), 2.0);
    }

private:
    // radius 0 draws a rectangle, a negative radius an ellipse.
    static void drawOutline(const QStyleOption* option, QPainter* painter, const QRectF& area, double radius)
    {
        const QPalette& palette = option->palette;
        const bool hasFocus = option->state & State_HasFocus;
        QColor colour = hasFocus ? _outlineColour_helper(palette.color(QPalette::Highlight), palette)
                                 : ApplicationPalette::outlineColour(palette);
        if (!(option->state & State_Enabled))
            colour = palette.color(QPalette::Disabled, QPalette::WindowText);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(colour, 1.0));
        if (radius < 0)
            painter->drawEllipse(area);
        else if (radius == 0)
            painter->drawRect(area);
        else
            painter->drawRoundedRect(area, radius, radius);
        painter->restore();
    }
};
} // namespace

QPalette ApplicationPalette::darkPalette()
{
    const QColor window(0x2d, 0x30, 0x34);
    const QColor base(0x1f, 0x22, 0x25);
    const QColor text(0xe8, 0xea, 0xed);
    const QColor disabledText(0x8a, 0x8f, 0x96);
    QPalette palette(text, window, window.lighter(140), window.darker(160), window.darker(120), text, text,
                     base, window);
    palette.setColor(QPalette::AlternateBase, base.lighter(125));
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, disabledText);
    // Dark enough for white text on a selected row to read at 4.5:1 even where Fusion lightens it and the
    // text's edges are smoothed.
    palette.setColor(QPalette::Highlight, QColor(0x2a, 0x62, 0xb0));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
    palette.setColor(QPalette::LinkVisited, QColor(0xc5, 0x8a, 0xf9));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    return palette;
}

QColor ApplicationPalette::outlineColour(const QPalette& palette)
{
    return _outlineColour_helper(palette.color(QPalette::Window).darker(140), palette);
}

QStyle* ApplicationPalette::createStyle()
{
    return new ContrastOutlineStyle();
}

void ApplicationPalette::applyRequestedPalette(QApplication& application)
{
    if (qEnvironmentVariable("CORVANE_PALETTE") != QLatin1String("dark"))
        return;
    application.setStyle(createStyle());
    QApplication::setPalette(darkPalette());
}
