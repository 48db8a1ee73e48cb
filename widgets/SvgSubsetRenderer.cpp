#include "SvgSubsetRenderer.h"

#include <QPaintDevice>
#include <QPainter>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace
{
// A colour attribute: "none" is transparent; a missing one takes the default.
QColor _colour_helper(const QXmlStreamAttributes& attributes, const char* name, const QColor& defaultColour)
{
    const QString value = attributes.value(QLatin1String(name)).toString().trimmed();
    if (value.isEmpty())
        return defaultColour;
    if (value == QLatin1String("none"))
        return QColor(Qt::transparent);
    // As in Qt SVG, "currentColor" without a colour property is black.
    if (value == QLatin1String("currentColor"))
        return QColor(Qt::black);
    return QColor(value);
}

double _number_helper(const QXmlStreamAttributes& attributes, const char* name, double defaultValue = 0)
{
    bool isNumber = false;
    const double value = attributes.value(QLatin1String(name)).toDouble(&isNumber);
    return isNumber ? value : defaultValue;
}

// Reads the numbers of path data one after the other.
class PathDataReader
{
public:
    explicit PathDataReader(const QString& data) : data(data) {}

    bool atCommand()
    {
        skipSeparators();
        return position < data.size() && data.at(position).isLetter();
    }
    bool atEnd()
    {
        skipSeparators();
        return position >= data.size();
    }
    QChar command()
    {
        return data.at(position++);
    }
    bool number(double& value)
    {
        skipSeparators();
        const int start = position;
        if (position < data.size() && (data.at(position) == u'-' || data.at(position) == u'+'))
            position++;
        bool isExponentAllowed = false;
        while (position < data.size())
        {
            const QChar character = data.at(position);
            if (character.isDigit() || character == u'.')
                isExponentAllowed = true;
            else if (isExponentAllowed && (character == u'e' || character == u'E'))
            {
                position++;
                if (position < data.size() && (data.at(position) == u'-' || data.at(position) == u'+'))
                    position++;
                continue;
            }
            else
                break;
            position++;
        }
        bool isNumber = false;
        value = data.mid(start, position - start).toDouble(&isNumber);
        return isNumber;
    }

private:
    void skipSeparators()
    {
        while (position < data.size() && (data.at(position).isSpace() || data.at(position) == u','))
            position++;
    }

    QString data;
    int position = 0;
};

QPainterPath _parsePathData_helper(const QString& data)
{
    QPainterPath path;
    PathDataReader reader(data);
    QChar command;
    QPointF current;
    QPointF start;
    while (!reader.atEnd())
    {
        if (reader.atCommand())
            command = reader.command();
        else if (command.isNull())
            break;
        const bool isRelative = command.isLower();
        const QPointF origin = isRelative ? current : QPointF();
        double values[6] = {};
        auto read = [&](int count)
        {
            for (int index = 0; index < count; index++)
            {
                if (!reader.number(values[index]))
                    return false;
            }
            return true;
        };
        switch (command.toUpper().unicode())
        {
        case 'M':
            if (!read(2))
                return path;
            current = origin + QPointF(values[0], values[1]);
            start = current;
            path.moveTo(current);
            // Further pairs after a move are lines.
            command = isRelative ? QChar(u'l') : QChar(u'L');
            break;
        case 'L':
            if (!read(2))
                return path;
            current = origin + QPointF(values[0], values[1]);
            path.lineTo(current);
            break;
        case 'H':
            if (!read(1))
                return path;
            current.setX((isRelative ? current.x() : 0) + values[0]);
            path.lineTo(current);
            break;
        case 'V':
            if (!read(1))
                return path;
            current.setY((isRelative ? current.y() : 0) + values[0]);
            path.lineTo(current);
            break;
        case 'C':
            if (!read(6))
                return path;
            path.cubicTo(origin + QPointF(values[0], values[1]), origin + QPointF(values[2], values[3]),
                         origin + QPointF(values[4], values[5]));
            current = origin + QPointF(values[4], values[5]);
            break;
        case 'Q':
            if (!read(4))
                return path;
            path.quadTo(origin + QPointF(values[0], values[1]), origin + QPointF(values[2], values[3]));
            current = origin + QPointF(values[2], values[3]);
            break;
        case 'Z':
            path.closeSubpath();
            current = start;
            break;
        default:
            // A command outside the subset ends the path where it is.
            return path;
        }
    }
    return path;
}
} // namespace

SvgSubsetRenderer::SvgSubsetRenderer(const QByteArray& data)
{
    load(data);
}

bool SvgSubsetRenderer::load(const QByteArray& data)
{
    shapes.clear();
    box = QRectF();
    size = QSize();
    isDocumentValid = false;
    QXmlStreamReader reader(data);
    while (!reader.atEnd())
    {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        const QStringView name = reader.name();
        if (name == QLatin1String("svg"))
        {
            isDocumentValid = true;
            const QStringList viewBox =
                attributes.value(QLatin1String("viewBox"))
                    .toString()
                    .split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
            size = QSize(qRound(_number_helper(attributes, "width")),
                         qRound(_number_helper(attributes, "height")));
            if (viewBox.size() == 4)
                box = QRectF(viewBox[0].toDouble(), viewBox[1].toDouble(), viewBox[2].toDouble(),
                             viewBox[3].toDouble());
            else
                box = QRectF(QPointF(), QSizeF(size));
            if (size.isEmpty())
                size = box.size().toSize();
            continue;
        }
        Shape shape;
        if (name == QLatin1String("path"))
            shape.path = _parsePathData_helper(attributes.value(QLatin1String("d")).toString());
        else if (name == QLatin1String("rect"))
        {
            const double radius = _number_helper(attributes, "rx", _number_helper(attributes, "ry"));
            shape.path.addRoundedRect(QRectF(_number_helper(attributes, "x"), _number_helper(attributes, "y"),
                                             _number_helper(attributes, "width"),
                                             _number_helper(attributes, "height")),
                                      radius, radius);
        }
        else if (name == QLatin1String("circle"))
        {
            const double radius = _number_helper(attributes, "r");
            shape.path.addEllipse(QPointF(_number_helper(attributes, "cx"), _number_helper(attributes, "cy")),
                                  radius, radius);
        }
        else
            continue;
        shape.fill = _colour_helper(attributes, "fill", QColor(Qt::black));
        shape.stroke = _colour_helper(attributes, "stroke", QColor(Qt::transparent));
        shape.strokeWidth = _number_helper(attributes, "stroke-width", 1);
        const QStringView cap = attributes.value(QLatin1String("stroke-linecap"));
        shape.capStyle = cap == QLatin1String("round")    ? Qt::RoundCap
                         : cap == QLatin1String("square") ? Qt::SquareCap
                                                          : Qt::FlatCap;
        const QStringView join = attributes.value(QLatin1String("stroke-linejoin"));
        shape.joinStyle = join == QLatin1String("round")   ? Qt::RoundJoin
                          : join == QLatin1String("bevel") ? Qt::BevelJoin
                                                           : Qt::MiterJoin;
        shapes.append(shape);
    }
    if (reader.hasError())
    {
        shapes.clear();
        isDocumentValid = false;
    }
    return isDocumentValid;
}

bool SvgSubsetRenderer::isValid() const
{
    return isDocumentValid;
}

QSize SvgSubsetRenderer::defaultSize() const
{
    return size;
}

QRectF SvgSubsetRenderer::viewBox() const
{
    return box;
}

Qt::AspectRatioMode SvgSubsetRenderer::aspectRatioMode() const
{
    return mode;
}

void SvgSubsetRenderer::setAspectRatioMode(Qt::AspectRatioMode aspectRatioMode)
{
    mode = aspectRatioMode;
}

void SvgSubsetRenderer::render(QPainter* painter, const QRectF& bounds) const
{
    if (!isDocumentValid || box.isEmpty() || !painter)
        return;
    QRectF target = bounds;
    if (target.isEmpty() && painter->device())
        target = QRectF(0, 0, painter->device()->width(), painter->device()->height());
    if (mode == Qt::KeepAspectRatio)
    {
        const QSizeF fitted = box.size().scaled(target.size(), Qt::KeepAspectRatio);
        target = QRectF(target.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted);
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->translate(target.topLeft());
    painter->scale(target.width() / box.width(), target.height() / box.height());
    painter->translate(-box.topLeft());
    for (const Shape& shape : shapes)
    {
        painter->setBrush(shape.fill.alpha() > 0 ? QBrush(shape.fill) : QBrush(Qt::NoBrush));
        if (shape.stroke.alpha() > 0 && shape.strokeWidth > 0)
            painter->setPen(
                QPen(shape.stroke, shape.strokeWidth, Qt::SolidLine, shape.capStyle, shape.joinStyle));
        else
            painter->setPen(Qt::NoPen);
        painter->drawPath(shape.path);
    }
    painter->restore();
}
