#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTest>

#include <cmath>

namespace {

const QString stickerFolder = QStringLiteral(":/stickers/");

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
    QCOMPARE(files,
        QStringList(
            { "arrow_right.svg", "camera.svg", "circle.svg", "frame_ornate.svg", "heart.svg",
                "pin.svg", "ribbon.svg", "speech_bubble.svg", "star.svg", "thumbs_up.svg" }));
    // Every shipped sticker must load; the table below checks the look of some.
    for (const QString &file : files)
        QVERIFY2(QSvgRenderer(stickerFolder + file).isValid(), qPrintable(file));
}

void TestStickerFiles::sticker_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSizeF>("viewBox");
    // Colours the picture must show on a good part of its area.
    QTest::addColumn<QList<QColor>>("colours");
    // A point in view-box units where nothing is drawn (null: none chosen).
    QTest::addColumn<QPointF>("hole");

    const QColor red("#e74c3c"), yellow("#f1c40f");
    const QColor dark("#2c3e50"), white(Qt::white);
    QTest::newRow("circle") << "circle.svg" << QSizeF(100, 100) << QList<QColor> { red }
                            << QPointF(50, 50);
    QTest::newRow("pin") << "pin.svg" << QSizeF(60, 80) << QList<QColor> { red, white }
                         << QPointF();
    QTest::newRow("ribbon") << "ribbon.svg" << QSizeF(120, 40) << QList<QColor> { red }
                            << QPointF(4, 20);
    QTest::newRow("speech_bubble")
        << "speech_bubble.svg" << QSizeF(100, 80) << QList<QColor> { white, dark } << QPointF();
    QTest::newRow("star") << "star.svg" << QSizeF(100, 100) << QList<QColor> { yellow }
                          << QPointF(85, 15);
}

void TestStickerFiles::sticker()
{
    QFETCH(QString, file);
    QFETCH(QSizeF, viewBox);
    QFETCH(QList<QColor>, colours);
    QFETCH(QPointF, hole);

    QSvgRenderer renderer(stickerFolder + file);
    QVERIFY(renderer.isValid());
    QCOMPARE(renderer.viewBoxF(), QRectF(QPointF(0, 0), viewBox));

    // Drawn at four pixels per view-box unit on a transparent background.
    const qreal scale = 4;
    QImage image((viewBox * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), viewBox * scale));
    painter.end();

    const int total = image.width() * image.height();
    int covered = 0;
    QList<int> colourCounts(colours.size(), 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            covered += qAlpha(p) > 0;
            for (int i = 0; i < colours.size(); ++i)
                colourCounts[i] += qAlpha(p) == 255 && near(p, colours[i], 4);
        }
    }
    // Something is drawn, yet the picture keeps some transparent space.
    QVERIFY2(covered > total / 10 && covered < total, qPrintable(QString::number(covered)));
    for (int i = 0; i < colours.size(); ++i)
        QVERIFY2(colourCounts[i] > total / 50, qPrintable(colours[i].name()));
    if (!hole.isNull())
        QCOMPARE(qAlpha(image.pixel((hole * scale).toPoint())), 0);
}

QTEST_MAIN(TestStickerFiles)
#include "tst_stickerfiles.moc"
