// The Windows build draws the application's pictures with its own subset renderer instead of Qt SVG:
// here, where Qt SVG exists, both draw every picture and must agree.

#include "widgets/PaletteSvg.h"
#include "widgets/SvgSubsetRenderer.h"

#include <QDir>
#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>

namespace
{
constexpr int SIDE = 96;

QImage _render_helper(const std::function<void(QPainter*)>& draw)
{
    QImage image(SIDE, SIDE, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    draw(&painter);
    painter.end();
    return image;
}

// The share of pixels whose colour or coverage differs noticeably (edges may be smoothed differently).
double _differingShare_helper(const QImage& left, const QImage& right)
{
    int differing = 0;
    for (int y = 0; y < SIDE; y++)
    {
        for (int x = 0; x < SIDE; x++)
        {
            const QRgb a = left.pixel(x, y);
            const QRgb b = right.pixel(x, y);
            const int difference = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                             std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
            if (difference > 64)
                differing++;
        }
    }
    return double(differing) / (SIDE * SIDE);
}

QStringList _pictures_helper()
{
    QStringList pictures = {QStringLiteral(":/Icon.svg")};
    for (const QString& name : QDir(QStringLiteral(":/Images")).entryList({QStringLiteral("*.svg")}))
        pictures.append(QStringLiteral(":/Images/") + name);
    return pictures;
}
} // namespace

class TestSvgSubsetRenderer : public QObject
{
    Q_OBJECT

private slots:
    void everyPictureLooksAsWithQtSvg_data();
    void everyPictureLooksAsWithQtSvg();
    void recolouredPicturesTakeThePaletteColours();
    void aspectRatioIsKeptWhenAsked();
    void otherDataIsNoPicture();
};

void TestSvgSubsetRenderer::everyPictureLooksAsWithQtSvg_data()
{
    QTest::addColumn<QString>("fileName");
    const QStringList pictures = _pictures_helper();
    QVERIFY(pictures.size() >= 8);
    for (const QString& picture : pictures)
        QTest::newRow(qPrintable(picture)) << picture;
}

void TestSvgSubsetRenderer::everyPictureLooksAsWithQtSvg()
{
    QFETCH(QString, fileName);
    // In the palette's colours, as the application shows them.
    const QByteArray data =
        PaletteSvg::recolouredData(fileName, QColor(0x20, 0x20, 0x20), QColor(0xf0, 0xf0, 0xf0));
    QVERIFY(!data.isEmpty());
    QSvgRenderer reference(data);
    QVERIFY(reference.isValid());
    SvgSubsetRenderer subset(data);
    QVERIFY(subset.isValid());
    QCOMPARE(subset.defaultSize(), reference.defaultSize());
    QCOMPARE(subset.viewBox(), reference.viewBoxF());

    const QImage expected = _render_helper([&](QPainter* painter) { reference.render(painter); });
    const QImage actual = _render_helper([&](QPainter* painter) { subset.render(painter); });
    int paintedPixels = 0;
    for (int y = 0; y < SIDE; y++)
        for (int x = 0; x < SIDE; x++)
            paintedPixels += qAlpha(actual.pixel(x, y)) > 0 ? 1 : 0;
    QVERIFY2(paintedPixels > SIDE * SIDE / 20, "the picture is nearly empty");
    const double share = _differingShare_helper(expected, actual);
    QVERIFY2(share < 0.01, qPrintable(QStringLiteral("%1% of the pixels differ").arg(share * 100)));
}

void TestSvgSubsetRenderer::recolouredPicturesTakeThePaletteColours()
{
    // The padlock's shackle is drawn in the ink colour: its top middle is that colour.
    const QColor ink(0xc0, 0x10, 0x10);
    SvgSubsetRenderer renderer(
        PaletteSvg::recolouredData(QStringLiteral(":/Images/Padlock.svg"), ink, Qt::white));
    const QImage image = _render_helper([&](QPainter* painter) { renderer.render(painter); });
    QCOMPARE(image.pixelColor(SIDE / 2, SIDE * 8 / 64 + 1).rgb(), ink.rgb());
}

void TestSvgSubsetRenderer::aspectRatioIsKeptWhenAsked()
{
    SvgSubsetRenderer renderer(
        PaletteSvg::recolouredData(QStringLiteral(":/Icon.svg"), Qt::black, Qt::white));
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);
    QImage wide(SIDE * 2, SIDE, QImage::Format_ARGB32_Premultiplied);
    wide.fill(Qt::transparent);
    QPainter painter(&wide);
    renderer.render(&painter);
    painter.end();
    // A square picture in a wide area: centred, the sides stay empty.
    QCOMPARE(qAlpha(wide.pixel(SIDE / 4, SIDE / 2)), 0);
    QVERIFY(qAlpha(wide.pixel(SIDE, SIDE / 2)) > 0);
}

void TestSvgSubsetRenderer::otherDataIsNoPicture()
{
    SvgSubsetRenderer renderer(QByteArray("not a picture"));
    QVERIFY(!renderer.isValid());
    QVERIFY(!SvgSubsetRenderer(QByteArray()).isValid());
}

QTEST_MAIN(TestSvgSubsetRenderer)
#include "test_svg_subset_renderer.moc"
