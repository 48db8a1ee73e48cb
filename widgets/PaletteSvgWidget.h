#pragma once

#include <QString>
#include <QSvgWidget>

// An SVG widget whose monochrome picture follows the palette: its ink in the window's text colour,
// redrawn whenever the palette changes (see PaletteSvg).
class PaletteSvgWidget : public QSvgWidget
{
    Q_OBJECT

public:
    explicit PaletteSvgWidget(QWidget* parent = nullptr);

    void loadInPaletteColours(const QString& fileName);

protected:
    void changeEvent(QEvent* event) override;

private:
    void reload();

    QString fileName;
};
