#include "PaletteSvgWidget.h"

#include "PaletteSvg.h"

#include <QEvent>
#include <QSvgRenderer>

PaletteSvgWidget::PaletteSvgWidget(QWidget* parent) : QSvgWidget(parent) {}

void PaletteSvgWidget::loadInPaletteColours(const QString& fileName)
{
    this->fileName = fileName;
    reload();
}

void PaletteSvgWidget::changeEvent(QEvent* event)
{
    QSvgWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !fileName.isEmpty())
        reload();
}

void PaletteSvgWidget::reload()
{
    load(PaletteSvg::recolouredData(fileName, palette().color(QPalette::WindowText),
                                    palette().color(QPalette::Window)));
    renderer()->setAspectRatioMode(Qt::KeepAspectRatio);
}
