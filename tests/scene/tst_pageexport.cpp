#include <QtTest>

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

#include "imaging/imagecache.h"
#include "imaging/testphotos.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "model/stickerproperties.h"
#include "model/textoverlayproperties.h"
#include "scene/documentrenderer.h"
#include "scene/pageexport.h"
#include "scene/scenetesttheme.h"
#include "themes/builtinthemes.h"
#include "themes/themeregistry.h"

namespace {

const QColor PageColor(40, 90, 160);

std::unique_ptr<Document> makeDocument(
    const PageSize &size = PageSize(PageSize::Pixels, QSizeF(400, 300)))
{
    auto document = std::make_unique<Document>(false);
    document->setPageSize(size);
    auto *theme = new SceneTestTheme(document.get());
    theme->background->setColor(PageColor);
    theme->photos = { { QRectF(20, 20, 100, 80), QColor(200, 40, 40), 0 } };
    document->setTheme(theme);
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

int largestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = qMax(largest,
                qMax(qAbs(qRed(p) - qRed(q)),
                    qMax(qAbs(qGreen(p) - qGreen(q)), qAbs(qBlue(p) - qBlue(q)))));
        }
    }
    return largest;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int countPixels(const QImage &image, const QRect &area, const std::function<bool(QColor)> &match)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += match(image.pixelColor(x, y)) ? 1 : 0;
    }
    return count;
}

} // namespace

class TestPageExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void jpegBandsLookLikeTheWholePage();
    void cancelDuringPhotos_data();
    void cancelDuringPhotos();
    void formats_data();
    void formats();
    void opaquePagesLoseTheirAlpha();
    void qualityChangesJpegs();
    void overlaysAreExported();
    void cancelLeavesOldFile();
    void failedWriteLeavesOldFile();
    void unknownFormatFails();
};

void TestPageExport::initTestCase()
{
    BuiltInThemes::registerAll();
}

void TestPageExport::jpegBandsLookLikeTheWholePage()
{
    QTemporaryDir folder;
    const auto document = makePhotoDocument(folder);
    QVERIFY(document && document->theme());
    const QSize size(1800, 1200);

    QImage whole(size, QImage::Format_ARGB32_Premultiplied);
    whole.fill(Qt::white);
    {
        QPainter painter(&whole);
        painter.setRenderHints(
            QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        DocumentRenderer::render(document.get(), &painter, QRectF(QPointF(0, 0), size));
    }
    QVERIFY(whole.save(folder.filePath("whole.jpg"), "jpeg", 92));

    ExportSettings settings;
    settings.format = "jpg";
    settings.size = size;
    QCOMPARE(PageExport(document.get(), settings).write(folder.filePath("bands.jpg")),
        PageExport::Result::Written);
    const QImage fromWhole(folder.filePath("whole.jpg"));
    const QImage fromBands(folder.filePath("bands.jpg"));
    QCOMPARE(fromBands.size(), size);
    const int difference = largestDifference(fromWhole, fromBands);
    QVERIFY2(difference <= 12, qPrintable(QString::number(difference)));
}

void TestPageExport::cancelDuringPhotos_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("png, drawn whole") << QByteArray("png");
    QTest::newRow("jpg, drawn in bands") << QByteArray("jpg");
}

void TestPageExport::cancelDuringPhotos()
{
    QFETCH(QByteArray, format);
    QTemporaryDir folder;
    const auto document = makePhotoDocument(folder);
    QVERIFY(document && document->theme());
    ExportSettings settings;
    settings.format = format;
    settings.size = QSize(900, 600);
    PageExport page(document.get(), settings);
    QList<std::pair<int, int>> steps;
    page.setProgress([&steps](int done, int total) {
        steps.append({ done, total });
        return false;
    });
    const QString path = folder.filePath(QStringLiteral("page.") + QString::fromLatin1(format));
    QCOMPARE(page.write(path), PageExport::Result::Cancelled);
    // Asked once, after the first photo, with the photos and the writing
    // still to come.
    QCOMPARE(steps.size(), 1);
    QCOMPARE(steps.first().first, 1);
    QVERIFY(steps.first().second >= 5);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(QDir(folder.path()).entryList({ QStringLiteral("page*") }, QDir::Files | QDir::Hidden),
        QStringList());
}

void TestPageExport::formats_data()
{
    QTest::addColumn<QByteArray>("format");
    for (const QByteArray &format :
        { QByteArray("png"), QByteArray("jpg"), QByteArray("webp"), QByteArray("bmp") })
        QTest::newRow(format.constData()) << format;
}

void TestPageExport::formats()
{
    QFETCH(QByteArray, format);
    if (!QImageWriter::supportedImageFormats().contains(format))
        QSKIP("The image writer lacks this format here.");
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("page.") + QString::fromLatin1(format));
    const auto document = makeDocument();
    ExportSettings settings;
    settings.format = format;
    settings.size = QSize(200, 150);
    PageExport page(document.get(), settings);
    QCOMPARE(page.write(path), PageExport::Result::Written);

    const QImage image(path);
    QCOMPARE(image.size(), QSize(200, 150));
    // The page colour in the lower right corner, the photo at the top left.
    const QColor corner = image.pixelColor(180, 130);
    QVERIFY2(qAbs(corner.red() - PageColor.red()) < 8 && qAbs(corner.blue() - PageColor.blue()) < 8,
        qPrintable(corner.name()));
    QVERIFY(image.pixelColor(30, 25).red() > 150);
}

void TestPageExport::opaquePagesLoseTheirAlpha()
{
    QTemporaryDir folder;
    const auto document = makeDocument();
    ExportSettings settings;
    settings.size = QSize(400, 300);
    QVERIFY(PageExport(document.get(), settings).write(folder.filePath("opaque.png"))
        == PageExport::Result::Written);
    QVERIFY(!QImageReader(folder.filePath("opaque.png")).read().hasAlphaChannel());

    // Forced to another aspect, the page leaves a transparent margin below.
    settings.size = QSize(400, 400);
    QVERIFY(PageExport(document.get(), settings).write(folder.filePath("margins.png"))
        == PageExport::Result::Written);
    const QImage margins(folder.filePath("margins.png"));
    QVERIFY(margins.hasAlphaChannel());
    QCOMPARE(margins.pixelColor(200, 395).alpha(), 0);
    QCOMPARE(margins.pixelColor(200, 2).alpha(), 255);
}

void TestPageExport::qualityChangesJpegs()
{
    QTemporaryDir folder;
    const auto document = makeDocument();
    document->addTextOverlay()->setText(QStringLiteral("Detail for the encoder"));
    ExportSettings settings;
    settings.format = "jpg";
    settings.size = QSize(800, 600);
    settings.quality = 20;
    QVERIFY(PageExport(document.get(), settings).write(folder.filePath("low.jpg"))
        == PageExport::Result::Written);
    settings.quality = ExportSettings::DefaultQuality;
    QVERIFY(PageExport(document.get(), settings).write(folder.filePath("high.jpg"))
        == PageExport::Result::Written);
    QVERIFY(QFileInfo(folder.filePath("low.jpg")).size()
        < QFileInfo(folder.filePath("high.jpg")).size());
}

void TestPageExport::overlaysAreExported()
{
    QTemporaryDir folder;
    const auto document = makeDocument();
    TextOverlayProperties *text = document->addTextOverlay();
    text->setText(QStringLiteral("HELLO"));
    text->setColor(Qt::yellow);
    text->setPosition(QPointF(0.5, 0.75));
    StickerProperties *sticker = document->addSticker(QStringLiteral(":/stickers/heart.svg"));
    sticker->setPosition(QPointF(0.75, 0.25));

    ExportSettings settings;
    settings.size = QSize(800, 600);
    QVERIFY(PageExport(document.get(), settings).write(folder.filePath("overlays.png"))
        == PageExport::Result::Written);
    const QImage image(folder.filePath("overlays.png"));
    auto yellow = [](QColor c) { return c.red() > 200 && c.green() > 200 && c.blue() < 80; };
    QVERIFY(countPixels(image, QRect(200, 350, 400, 200), yellow) > 50);
    // The sticker covers the flat page colour around its position.
    auto notPage = [](QColor c) {
        return qAbs(c.red() - PageColor.red()) + qAbs(c.green() - PageColor.green())
            + qAbs(c.blue() - PageColor.blue())
            > 60;
    };
    QVERIFY(countPixels(image, QRect(520, 80, 160, 140), notPage) > 200);
    QCOMPARE(countPixels(image, QRect(0, 500, 100, 100), notPage), 0);
}

void TestPageExport::cancelLeavesOldFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("page.png"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("older picture");
    }
    const auto document = makeDocument();
    document->addSticker(QStringLiteral(":/stickers/heart.svg"));
    ExportSettings settings;
    settings.size = QSize(400, 300);
    PageExport page(document.get(), settings);
    int calls = 0;
    page.setProgress([&calls](int done, int total) {
        ++calls;
        Q_ASSERT(done <= total);
        return false;
    });
    QCOMPARE(page.write(path), PageExport::Result::Cancelled);
    QVERIFY(calls > 0);
    QCOMPARE(readFile(path), QByteArray("older picture"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList { "page.png" });
}

void TestPageExport::failedWriteLeavesOldFile()
{
#ifndef Q_OS_UNIX
    QSKIP("Needs a file size limit.");
#else
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("page.bmp"));
    const QByteArray before(1000, 'o');
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(before);
    }
    const auto document = makeDocument();
    ExportSettings settings;
    settings.format = "bmp";
    settings.size = QSize(400, 300); // 360 KB, beyond the limit below

    // Writing fails like a full disk.
    rlimit previous {};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &previous) == 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = previous;
    limited.rlim_cur = rlim_t(64 * 1024);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &limited) == 0);
    PageExport page(document.get(), settings);
    const PageExport::Result result = page.write(path);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(result, PageExport::Result::Failed);
    QVERIFY(!page.errorString().isEmpty());
    QCOMPARE(readFile(path), before);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList { "page.bmp" });
#endif
}

void TestPageExport::unknownFormatFails()
{
    QTemporaryDir folder;
    const auto document = makeDocument();
    ExportSettings settings;
    settings.format = "nosuchformat";
    settings.size = QSize(10, 10);
    PageExport page(document.get(), settings);
    QCOMPARE(page.write(folder.filePath("x.nosuchformat")), PageExport::Result::Failed);
    QVERIFY(page.errorString().contains(QStringLiteral("nosuchformat")));
    QVERIFY(!QFile::exists(folder.filePath("x.nosuchformat")));
}

QTEST_MAIN(TestPageExport)
#include "tst_pageexport.moc"
