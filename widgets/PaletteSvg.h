#pragma once

#include <QByteArray>
#include <QColor>
#include <QIcon>
#include <QPalette>
#include <QString>

// The monochrome pictures (the eyes, the padlock's shackle) are drawn in "currentColor", with white
// cut-outs that separate overlapping strokes. A fixed ink vanishes on one of the light or dark themes,
// so they are drawn in the palette's colours instead: the ink in the text colour, the cut-outs in the
// colour of what lies beneath.
class PaletteSvg
{
public:
    static QByteArray recolouredData(const QString& fileName, const QColor& ink, const QColor& background);

    // The picture drawn on a button of this palette; icons are shared, each colour pair made once.
    static QIcon buttonIcon(const QString& fileName, const QPalette& palette);
};
