#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QRectF>
#include <QSize>

class QPainter;

// Draws the application's own pictures without Qt SVG, which the Windows build does without: the
// subset of SVG those files use (an svg element with a viewBox; path with M, L, H, V, C, Q and Z in
// either case, rect with rx, circle; fill, stroke, stroke-width, stroke-linecap and stroke-linejoin as
// attributes; colours as #rrggbb, a name or "none"). Anything else is skipped. On Linux the tests hold it
// against Qt SVG on every picture of the application.
class SvgSubsetRenderer
{
public:
    SvgSubsetRenderer() = default;
    explicit SvgSubsetRenderer(const QByteArray& data);

    // False when the data is not an SVG document (the renderer is then empty).
    bool load(const QByteArray& data);
    bool isValid() const;
    QSize defaultSize() const;
    QRectF viewBox() const;

    // Kept (Qt::KeepAspectRatio) or stretched (Qt::IgnoreAspectRatio) to the bounds.
    Qt::AspectRatioMode aspectRatioMode() const;
    void setAspectRatioMode(Qt::AspectRatioMode mode);

    // Draws the picture into bounds, or over the whole paint device when bounds is empty.
    void render(QPainter* painter, const QRectF& bounds = QRectF()) const;

private:
    struct Shape
    {
        QPainterPath path;
        QColor fill;
        QColor stroke;
        double strokeWidth = 1;
        Qt::PenCapStyle capStyle = Qt::FlatCap;
        Qt::PenJoinStyle joinStyle = Qt::MiterJoin;
    };

    QList<Shape> shapes;
    QRectF box;
    QSize size;
    bool isDocumentValid = false;
    Qt::AspectRatioMode mode = Qt::IgnoreAspectRatio;
};
