#include "PaletteSvg.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace
{
// Thousands of password cells show the same two eyes: each is rendered once per palette.
QHash<QString, QIcon>* iconCache = nullptr;

void _releaseIconCache_helper()
{
    delete iconCache;
    iconCache = nullptr;
}

QHash<QString, QIcon>& _iconCache_helper()
{
    if (!iconCache)
    {
        iconCache = new QHash<QString, QIcon>;
        // Pixmaps must go before the application object does.
        qAddPostRoutine(_releaseIconCache_helper);
    }
    return *iconCache;
}

QIcon _renderedIcon_helper(const QByteArray& svgData)
{
    QSvgRenderer renderer(svgData);
    QIcon icon;
    // Rendered at the sizes buttons ask for, so that no size is a blurry rescale.
    for (int side : {16, 20, 24, 32, 48, 64})
    {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
} // namespace

QByteArray PaletteSvg::recolouredData(const QString& fileName, const QColor& ink, const QColor& background)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QByteArray data = file.readAll();
    data.replace("currentColor", ink.name().toLatin1());
    data.replace("#ffffff", background.name().toLatin1());
    return data;
}

QIcon PaletteSvg::buttonIcon(const QString& fileName, const QPalette& palette)
{
    const QColor ink = palette.color(QPalette::ButtonText);
    const QColor background = palette.color(QPalette::Button);
    const QString key = fileName + ink.name() + background.name();
    QHash<QString, QIcon>& cache = _iconCache_helper();
    auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    const QIcon icon = _renderedIcon_helper(recolouredData(fileName, ink, background));
    cache.insert(key, icon);
    return icon;
}
