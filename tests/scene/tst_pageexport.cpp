#include <QtTest>

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

#include <memory>

#include "imaging/testphotos.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "model/stickerproperties.h"
#include "model/textoverlayproperties.h"
#include "scene/bandrenderer.h"
#include "scene/documentrenderer.h"
#include "scene/pageexport.h"
#include "scene/scenetestimages.h"
#include "scene/scenetesttheme.h"
#include "scene/watermark.h"
#include "support/filesizelimit.h"
#include "themes/builtinthemes.h"
#include "themes/themeregistry.h"

namespace {

const QColor PageColor(40, 90, 160);

// A 400 x 300 page with one red photo at the top left.
std::unique_ptr<Document> makeDocument()
{
    auto document = std::make_unique<Document>(false);
    document->setPageSize(PageSize(PageSize::Pixels, QSizeF(400, 300)));
    auto *theme = new SceneTestTheme(document.get());
    theme->background->setColor(PageColor);
    theme->photos = { { QRectF(20, 20, 100, 80), QColor(200, 40, 40), 0 } };
    document->setTheme(theme);
    return document;
}

// A 600 x 400 page of turned, shadowed photos with a text and a sticker
// across them, and at will a photo too large to be kept between bands.
std::unique_ptr<Document> makeShadowedDocument(bool large)
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
    if (large)
        theme->photos.prepend({ QRectF(20, 20, 560, 360), QColor(90, 60, 30), 3 });
    document->setTheme(theme);
    TextOverlayProperties *text = document->addTextOverlay();
    text->setText(QStringLiteral("Across the bands"));
    text->setPosition(QPointF(0.5, 0.5));
    document->addSticker(QStringLiteral(":/stickers/heart.svg"))->setPosition(QPointF(0.8, 0.3));
    return document;
}

// A Mosaic page of real photo files, with frames and shadows as the
// theme draws them.
std::unique_ptr<Document> makePhotoDocument(const QTemporaryDir &folder)
{
    QList<QUrl> urls;
    for (int i = 0; i < 4; ++i) {
        const QString path = folder.filePath(QStringLiteral("photo%1.jpg").arg(i));
        if (!TestPhotos::photoLike(QSize(640 + 32 * i, 480), quint32(i + 1)).save(path, "jpeg", 90))
            return nullptr;
        urls.append(QUrl::fromLocalFile(path));
    }
    auto document = std::make_unique<Document>(false);
    document->setPageSize(PageSize(PageSize::Pixels, QSizeF(900, 600)));
    if (!document->imageList()->insertUrls(0, urls, false))
        return nullptr;
    document->setTheme(ThemeRegistry::createTheme(BuiltInThemes::MosaicId, document.get()));
    document->addTextOverlay()->setText(QStringLiteral("On top"));
    return document;
}

// The whole page drawn at once, the reference for the banded paths.
QImage renderWhole(Document *document, const QSize &size, QImage::Format format)
{
    QImage image(size, format);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    DocumentRenderer::render(document, &painter, QRectF(QPointF(0, 0), size));
    return image;
}

QImage blackPage(int width = 800, int height = 600)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    return image;
}

// Bounding box of the pixels the watermark made brighter than a black page,
// and the brightest of them.
QRect markedArea(const QImage &image, int *brightest = nullptr)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            if (brightest)
                *brightest = qMax(*brightest, grey);
            if (grey > 60)
                area |= QRect(x, y, 1, 1);
        }
    }
    return area;
}

ExportSettings settingsFor(const QByteArray &format, const QSize &size)
{
    ExportSettings settings;
    settings.format = format;
    settings.size = size;
    return settings;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestPageExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { BuiltInThemes::registerAll(); }

    void bandsMakeTheWholePage_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("large");
        QTest::newRow("bands of 37 rows") << QSize(1200, 800) << 37 << false;
        QTest::newRow("large item, bands of 500") << QSize(4500, 3000) << 500 << true;
    }

    void bandsMakeTheWholePage()
    {
        QFETCH(QSize, size);
        QFETCH(int, rows);
        QFETCH(bool, large);
        const auto document = makeShadowedDocument(large);
        const QImage whole = renderWhole(document.get(), size, QImage::Format_RGB32);

        QImage banded(size, QImage::Format_RGB32);
        BandRenderer renderer(document.get(), size);
        renderer.plan(rows);
        for (int top = 0; top < size.height(); top += rows) {
            QImage band(size.width(), rows, QImage::Format_RGB32);
            band.fill(Qt::white);
            QVERIFY(renderer.drawBand(&band, top));
            QPainter(&banded).drawImage(0, top, band);
        }
        // Shadows and edges may round apart by a few levels; nothing more.
        const int difference = largestDifference(whole, banded);
        QVERIFY2(difference <= (large ? 24 : 6), qPrintable(QString::number(difference)));
        // And the page is really there: the red photo and the shadows.
        QVERIFY(qRed(banded.pixel(size.width() * 100 / 600, size.width() * 60 / 600)) > 150);
    }

    void cancel_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("photos");
        QTest::newRow("photos, png drawn whole") << QByteArray("png") << true;
        QTest::newRow("photos, jpg drawn in bands") << QByteArray("jpg") << true;
        QTest::newRow("sticker only, png") << QByteArray("png") << false;
    }

    // Cancelling at the first progress step writes nothing and leaves the file
    // that was there before.
    void cancel()
    {
        QFETCH(QByteArray, format);
        QFETCH(bool, photos);
        QTemporaryDir folder;
        const auto document = photos ? makePhotoDocument(folder) : makeDocument();
        QVERIFY(document && document->theme());
        if (!photos)
            document->addSticker(QStringLiteral(":/stickers/heart.svg"));
        const QString path = folder.filePath(QStringLiteral("page.") + QString::fromLatin1(format));
        QVERIFY(TestPhotos::writeFile(path, "older picture"));
        const ExportSettings settings = settingsFor(format, QSize(900, 600));
        PageExport page(document.get(), settings);
        QList<std::pair<int, int>> steps;
        page.setProgress([&steps](int done, int total) {
            steps.append({ done, total });
            return false;
        });
        QCOMPARE(page.write(path), PageExport::Result::Cancelled);
        QCOMPARE(steps.size(), 1);
        QVERIFY(steps.first().first <= steps.first().second);
        // With photos: asked after the first one, with the photos and the
        // writing still to come.
        if (photos)
            QVERIFY(steps.first().first == 1 && steps.first().second >= 5);
        QCOMPARE(readFile(path), QByteArray("older picture"));
        QCOMPARE(
            QDir(folder.path()).entryList({ QStringLiteral("page*") }, QDir::Files | QDir::Hidden),
            QStringList { QFileInfo(path).fileName() });
    }

    void formats_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QSize>("size");
        for (const QByteArray &format : { QByteArray("png"), QByteArray("jpg"), QByteArray("bmp") })
            QTest::newRow(format.constData()) << format << QSize(200, 150);
        // Forced to another aspect, the page leaves a transparent margin below.
        QTest::newRow("png, margin below") << QByteArray("png") << QSize(200, 200);
    }

    void formats()
    {
        QFETCH(QByteArray, format);
        QFETCH(QSize, size);
        if (!QImageWriter::supportedImageFormats().contains(format))
            QSKIP("The image writer lacks this format here.");
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("page.") + QString::fromLatin1(format));
        const auto document = makeDocument();
        const ExportSettings settings = settingsFor(format, size);
        QCOMPARE(PageExport(document.get(), settings).write(path), PageExport::Result::Written);

        const QImage image = QImageReader(path).read();
        QCOMPARE(image.size(), size);
        // The page colour in the lower right corner, the photo at the top left.
        const QRgb corner = image.pixel(180, 130);
        QVERIFY2(near(corner, PageColor, 7), qPrintable(QColor(corner).name()));
        QVERIFY(qRed(image.pixel(30, 25)) > 150);
        // Opaque pages lose their alpha channel; a margin stays transparent.
        const bool margin = size.height() > 150;
        QCOMPARE(image.hasAlphaChannel(), margin);
        if (margin)
            QVERIFY(qAlpha(image.pixel(100, size.height() - 5)) == 0
                && qAlpha(image.pixel(100, 2)) == 255);
    }

    void overlaysAreExported()
    {
        QTemporaryDir folder;
        const auto document = makeDocument();
        TextOverlayProperties *text = document->addTextOverlay();
        text->setText(QStringLiteral("HELLO"));
        text->setColor(Qt::yellow);
        text->setPosition(QPointF(0.5, 0.75));
        document->addSticker(QStringLiteral(":/stickers/heart.svg"))
            ->setPosition(QPointF(0.75, 0.25));

        const ExportSettings settings = settingsFor("png", QSize(800, 600));
        QCOMPARE(PageExport(document.get(), settings).write(folder.filePath("overlays.png")),
            PageExport::Result::Written);
        const QImage image(folder.filePath("overlays.png"));
        auto yellow = [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 80; };
        QVERIFY(countPixels(image, QRect(200, 350, 400, 200), yellow) > 50);
        // The sticker covers the flat page colour around its position.
        auto notPage = [](QRgb c) { return !near(c, PageColor, 20); };
        QVERIFY(countPixels(image, QRect(520, 80, 160, 140), notPage) > 200);
    }

    void failedWriteLeavesOldFile_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<int>("fileSizeLimitKb"); // 0: none
        QTest::newRow("unknown format") << QByteArray("nosuchformat") << 0;
        // 360 KB of BMP, beyond a limit that fails the write like a full disk.
        QTest::newRow("disk full") << QByteArray("bmp") << 64;
    }

    // A failed write says why and leaves the file that was there before.
    void failedWriteLeavesOldFile()
    {
        QFETCH(QByteArray, format);
        QFETCH(int, fileSizeLimitKb);
        QTemporaryDir folder;
        const QString name = QStringLiteral("page.") + QString::fromLatin1(format);
        const QString path = folder.filePath(name);
        const QByteArray before(1000, 'o');
        QVERIFY(TestPhotos::writeFile(path, before));
        const auto document = makeDocument();
        const ExportSettings settings = settingsFor(format, QSize(400, 300));
        PageExport page(document.get(), settings);

        PageExport::Result result = PageExport::Result::Written;
        {
            const FileSizeLimit limit(qint64(fileSizeLimitKb) * 1024);
            QVERIFY(limit.isActive());
            result = page.write(path);
        }

        QCOMPARE(result, PageExport::Result::Failed);
        QVERIFY(!page.errorString().isEmpty());
        QVERIFY(fileSizeLimitKb || page.errorString().contains(QString::fromLatin1(format)));
        QCOMPARE(readFile(path), before);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList { name });
    }

    void watermark_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("opacity");
        QTest::addColumn<QRect>("region"); // where the text must lie, within an 800 x 600 page
        QTest::newRow("center") << int(WatermarkCenter) << 100 << QRect(200, 250, 400, 100);
        QTest::newRow("bottom right, faint")
            << int(WatermarkBottomRight) << 30 << QRect(400, 500, 400, 100);
    }

    void watermark()
    {
        QFETCH(int, position);
        QFETCH(int, opacity);
        QFETCH(QRect, region);

        QImage image = blackPage();
        drawWatermark(&image, QStringLiteral("Tesselo ||||"), position, opacity);
        int brightest = 0;
        const QRect area = markedArea(image, &brightest);
        QVERIFY(!area.isEmpty());
        QVERIFY(region.contains(area));
        // White over black at the given alpha.
        QVERIFY2(qAbs(brightest - int(opacity / 100.0 * 255)) <= 3,
            qPrintable(QString::number(brightest)));
    }

    void watermarkWithNothingToDraw()
    {
        QImage image = blackPage(100, 100);
        const QImage before = image;
        drawWatermark(&image, QString(), WatermarkCenter, 100);
        QCOMPARE(image, before);
        drawWatermark(nullptr, QStringLiteral("x"), WatermarkCenter, 100);
        QImage null;
        drawWatermark(&null, QStringLiteral("x"), WatermarkCenter, 100);
        QVERIFY(null.isNull());
    }

    // A page written band by band carries the same mark as one drawn whole.
    void watermarkBands()
    {
        const int position = WatermarkBottomRight;
        QImage whole = blackPage();
        drawWatermark(&whole, QStringLiteral("Tesselo ||||"), position, 60);
        QImage banded = blackPage();
        const int rows = 37;
        for (int top = 0; top < banded.height(); top += rows) {
            QImage band = banded.copy(0, top, 800, rows);
            {
                QPainter painter(&band);
                painter.translate(0, -top);
                drawWatermark(
                    &painter, banded.size(), QStringLiteral("Tesselo ||||"), position, 60);
            }
            QPainter(&banded).drawImage(0, top, band);
        }
        QCOMPARE(banded, whole);
    }
};

QTEST_MAIN(TestPageExport)
#include "tst_pageexport.moc"
