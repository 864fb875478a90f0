#include <QtTest>

#include <QPainter>

#include <memory>

#include "model/document.h"
#include "model/stickerproperties.h"
#include "model/textoverlayproperties.h"
#include "scene/bandrenderer.h"
#include "scene/documentrenderer.h"
#include "scene/scenetesttheme.h"

namespace {

std::unique_ptr<Document> makeDocument(bool large = false)
{
    auto document = std::make_unique<Document>(false);
    document->setPageSize(PageSize(PageSize::Pixels, QSizeF(600, 400)));
    auto *theme = new SceneTestTheme(document.get());
    theme->background->setColor(QColor(230, 220, 200));
    theme->shadows->setEnabled(true);
    theme->shadows->setBlurRadius(12);
    theme->photos = { { QRectF(40, 30, 200, 150), QColor(200, 40, 40), 0 },
        { QRectF(260, 120, 220, 200), QColor(40, 120, 200), 17 },
        { QRectF(100, 220, 150, 140), QColor(60, 170, 80), -8 } };
    // An item too large to be kept between bands, below the others.
    if (large)
        theme->photos.prepend({ QRectF(20, 20, 560, 360), QColor(90, 60, 30), 3 });
    document->setTheme(theme);
    TextOverlayProperties *text = document->addTextOverlay();
    text->setText(QStringLiteral("Across the bands"));
    text->setPosition(QPointF(0.5, 0.5));
    document->addSticker(QStringLiteral(":/stickers/heart.svg"))->setPosition(QPointF(0.8, 0.3));
    return document;
}

// The largest difference of any channel between two images.
int largestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *lineA = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *lineB = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = lineA[x], q = lineB[x];
            largest = qMax(largest,
                qMax(qAbs(qRed(p) - qRed(q)),
                    qMax(qAbs(qGreen(p) - qGreen(q)), qAbs(qBlue(p) - qBlue(q)))));
        }
    }
    return largest;
}

} // namespace

class TestBandRenderer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bandsMakeTheWholePage_data();
    void bandsMakeTheWholePage();
};

void TestBandRenderer::bandsMakeTheWholePage_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("large");
    QTest::newRow("bands of 37 rows") << QSize(1200, 800) << 37 << false;
    QTest::newRow("one band") << QSize(900, 600) << 600 << false;
    QTest::newRow("other aspect, bands of 100") << QSize(900, 900) << 100 << false;
    QTest::newRow("large item, bands of 500") << QSize(4500, 3000) << 500 << true;
}

void TestBandRenderer::bandsMakeTheWholePage()
{
    QFETCH(QSize, size);
    QFETCH(int, rows);
    QFETCH(bool, large);
    const auto document = makeDocument(large);

    QImage whole(size, QImage::Format_RGB32);
    whole.fill(Qt::white);
    {
        QPainter painter(&whole);
        painter.setRenderHints(
            QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        DocumentRenderer::render(document.get(), &painter, QRectF(QPointF(0, 0), size));
    }

    QImage banded(size, QImage::Format_RGB32);
    BandRenderer renderer(document.get(), size);
    renderer.plan(rows);
    for (int top = 0; top < size.height(); top += rows) {
        QImage band(size.width(), rows, QImage::Format_RGB32);
        band.fill(Qt::white);
        QVERIFY(renderer.drawBand(&band, top));
        QPainter painter(&banded);
        painter.drawImage(0, top, band);
    }
    // Shadows and edges may round apart by a few levels; nothing more.
    QVERIFY2(largestDifference(whole, banded) <= (large ? 24 : 6),
        qPrintable(QString::number(largestDifference(whole, banded))));
    // And the page is really there: the red photo and the shadows.
    QVERIFY(qRed(banded.pixel(size.width() * 100 / 600, size.width() * 60 / 600)) > 150);
}

QTEST_MAIN(TestBandRenderer)
#include "tst_bandrenderer.moc"
