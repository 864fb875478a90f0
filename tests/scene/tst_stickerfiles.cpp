#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTest>

#include <cmath>

namespace {

const QString stickerFolder = QStringLiteral(":/stickers/");

// Renders the sticker so that its view box fills the image, scaled so that
// one view-box unit is `scale` pixels, on a transparent background.
QImage renderSticker(QSvgRenderer &renderer, qreal scale)
{
    const QSizeF size = renderer.viewBoxF().size() * scale;
    QImage image(size.toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    return image;
}

bool near(QRgb a, QColor b, int tolerance)
{
    return std::abs(qRed(a) - b.red()) <= tolerance && std::abs(qGreen(a) - b.green()) <= tolerance
        && std::abs(qBlue(a) - b.blue()) <= tolerance;
}

} // namespace

class TestStickerFiles : public QObject
{
    Q_OBJECT

private slots:
    void libraryListing();
    void sticker_data();
    void sticker();
};

void TestStickerFiles::libraryListing()
{
    const QStringList files = QDir(stickerFolder)
                                  .entryList({ QStringLiteral("*.svg"), QStringLiteral("*.png") },
                                      QDir::Files, QDir::Name);
    const QStringList expected { "arrow_right.svg", "camera.svg", "circle.svg", "frame_ornate.svg",
        "heart.svg", "pin.svg", "ribbon.svg", "speech_bubble.svg", "star.svg", "thumbs_up.svg" };
    QCOMPARE(files, expected);
}

void TestStickerFiles::sticker_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSizeF>("viewBox");
    // Colours the picture must show on a good part of its area.
    QTest::addColumn<QList<QColor>>("colours");
    // A point in view-box units and what is drawn there (invalid colour:
    // nothing, the background shows through).
    QTest::addColumn<QPointF>("probe");
    QTest::addColumn<QColor>("probeColour");

    const QColor blue("#3498db"), red("#e74c3c"), gold("#c0993d"), yellow("#f1c40f");
    const QColor dark("#2c3e50"), white(Qt::white), none;

    QTest::newRow("arrow_right") << "arrow_right.svg" << QSizeF(100, 60) << QList<QColor> { blue }
                                 << QPointF(75, 30) << blue;
    QTest::newRow("camera") << "camera.svg" << QSizeF(100, 80) << QList<QColor> { dark }
                            << QPointF(10, 70) << dark;
    QTest::newRow("circle") << "circle.svg" << QSizeF(100, 100) << QList<QColor> { red }
                            << QPointF(50, 50) << none;
    QTest::newRow("circle ring") << "circle.svg" << QSizeF(100, 100) << QList<QColor> { red }
                                 << QPointF(50, 5) << red;
    QTest::newRow("frame_ornate") << "frame_ornate.svg" << QSizeF(100, 100)
                                  << QList<QColor> { gold } << QPointF(50, 50) << none;
    QTest::newRow("frame_ornate outer") << "frame_ornate.svg" << QSizeF(100, 100)
                                        << QList<QColor> { gold } << QPointF(4, 50) << gold;
    QTest::newRow("heart") << "heart.svg" << QSizeF(100, 100) << QList<QColor> { red }
                           << QPointF(50, 50) << red;
    QTest::newRow("heart notch") << "heart.svg" << QSizeF(100, 100) << QList<QColor> { red }
                                 << QPointF(50, 10) << none;
    QTest::newRow("pin") << "pin.svg" << QSizeF(60, 80) << QList<QColor> { red, white }
                         << QPointF(30, 29) << white;
    QTest::newRow("pin body") << "pin.svg" << QSizeF(60, 80) << QList<QColor> { red, white }
                              << QPointF(30, 55) << red;
    QTest::newRow("ribbon") << "ribbon.svg" << QSizeF(120, 40) << QList<QColor> { red }
                            << QPointF(60, 20) << red;
    QTest::newRow("ribbon notch") << "ribbon.svg" << QSizeF(120, 40) << QList<QColor> { red }
                                  << QPointF(4, 20) << none;
    QTest::newRow("speech_bubble") << "speech_bubble.svg" << QSizeF(100, 80)
                                   << QList<QColor> { white, dark } << QPointF(50, 32) << white;
    QTest::newRow("speech_bubble outline")
        << "speech_bubble.svg" << QSizeF(100, 80) << QList<QColor> { white, dark } << QPointF(50, 5)
        << dark;
    QTest::newRow("star") << "star.svg" << QSizeF(100, 100) << QList<QColor> { yellow }
                          << QPointF(50, 55) << yellow;
    QTest::newRow("star between points")
        << "star.svg" << QSizeF(100, 100) << QList<QColor> { yellow } << QPointF(85, 15) << none;
    QTest::newRow("thumbs_up") << "thumbs_up.svg" << QSizeF(100, 100) << QList<QColor> { yellow }
                               << QPointF(55, 20) << yellow;
    QTest::newRow("thumbs_up beside thumb") << "thumbs_up.svg" << QSizeF(100, 100)
                                            << QList<QColor> { yellow } << QPointF(85, 15) << none;
}

void TestStickerFiles::sticker()
{
    QFETCH(QString, file);
    QFETCH(QSizeF, viewBox);
    QFETCH(QList<QColor>, colours);
    QFETCH(QPointF, probe);
    QFETCH(QColor, probeColour);

    const QString path = stickerFolder + file;
    QVERIFY2(QFile::exists(path), qPrintable(path));

    QSvgRenderer renderer(path);
    QVERIFY(renderer.isValid());
    QCOMPARE(renderer.viewBoxF(), QRectF(QPointF(0, 0), viewBox));

    const qreal scale = 4;
    const QImage image = renderSticker(renderer, scale);
    const int total = image.width() * image.height();
    int covered = 0;
    QList<int> colourCounts(colours.size(), 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) == 0)
                continue;
            ++covered;
            if (qAlpha(p) < 255)
                continue;
            for (int i = 0; i < colours.size(); ++i)
                colourCounts[i] += near(p, colours[i], 4);
        }
    }
    // Something is drawn, yet the picture keeps some transparent space.
    QVERIFY2(covered > total / 10, qPrintable(QString::number(covered)));
    QVERIFY2(covered < total, qPrintable(QString::number(covered)));
    for (int i = 0; i < colours.size(); ++i) {
        QVERIFY2(colourCounts[i] > total / 50,
            qPrintable(QStringLiteral("%1 covers %2 of %3 pixels")
                           .arg(colours[i].name())
                           .arg(colourCounts[i])
                           .arg(total)));
    }

    const QRgb atProbe = image.pixel((probe * scale).toPoint());
    if (probeColour.isValid()) {
        QCOMPARE(qAlpha(atProbe), 255);
        QVERIFY2(near(atProbe, probeColour, 4),
            qPrintable(QStringLiteral("%1 instead of %2")
                           .arg(QColor(atProbe).name(), probeColour.name())));
    } else {
        QCOMPARE(qAlpha(atProbe), 0);
    }
}

QTEST_MAIN(TestStickerFiles)
#include "tst_stickerfiles.moc"
