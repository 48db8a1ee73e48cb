#include "ApplicationPalette.h"

#include <QApplication>
#include <QStyleFactory>

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
    palette.setColor(QPalette::Highlight, QColor(0x3d, 0x7e, 0xd6));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
    palette.setColor(QPalette::LinkVisited, QColor(0xc5, 0x8a, 0xf9));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    return palette;
}

void ApplicationPalette::applyRequestedPalette(QApplication& application)
{
    if (qEnvironmentVariable("CORVANE_PALETTE") != QLatin1String("dark"))
        return;
    application.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(darkPalette());
}
