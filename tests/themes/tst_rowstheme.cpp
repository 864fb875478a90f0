#include <QImage>
#include <QItemSelection>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cmath>

#include "io/documentfile.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/randomgenerator.h"
#include "themes/builtinthemes.h"
#include "themes/jstemplate.h"
#include "themes/photogrid/photogriditemproperties.h"
#include "themes/photogrid/rowstheme.h"
#include "themes/themeregistry.h"
#include "undo/undostack.h"

namespace {

// The cells by the image they show, in list order.
QList<QRectF> cellsInListOrder(const RowsTheme *theme)
{
    QList<QRectF> cells;
    const ImageList *images = theme->document()->imageList();
    for (int row = 0; row < images->count(); ++row) {
        for (const auto &item : theme->items()) {
            if (item->image() == images->at(row))
                cells.append(item->rect());
        }
    }
    return cells;
}

QList<const ImageSource *> imageOrder(const Document *document)
{
    QList<const ImageSource *> order;
    for (const auto &image : document->imageList()->items())
        order.append(image.data());
    return order;
}

// Checks that the cells tile the page, one per photo, and that every photo
// keeps at least `least` of its area in its cell less the spacing and the
// frame (as thick as the frame size times half the shorter side).
bool coversPageKeepingPhotos(const RowsTheme *theme, qreal least, QString *why)
{
    const QSizeF page = theme->document()->pageSize().size();
    const ImageList *images = theme->document()->imageList();
    if (theme->items().size() != images->count()) {
        *why = QStringLiteral("%1 cells for %2 photos")
                   .arg(theme->items().size())
                   .arg(images->count());
        return false;
    }
    qreal covered = 0;
    for (const auto &item : theme->items()) {
        const QRectF cell = item->rect();
        covered += cell.width() * cell.height();
        const QSizeF photo = item->image()->size();
        qreal width = cell.width() - 2 * theme->border();
        qreal height = cell.height() - 2 * theme->border();
        const qreal frame = theme->frames()->enabled() ? theme->frames()->size() : 0;
        const qreal band = frame * qMin(width, height);
        width -= band;
        height -= band;
        const qreal scale = qMax(width / photo.width(), height / photo.height());
        const qreal kept = width * height / (photo.width() * photo.height() * scale * scale);
        if (kept < least) {
            *why = QStringLiteral("a photo keeps only %1").arg(kept);
            return false;
        }
    }
    if (std::abs(covered - page.width() * page.height()) > 1e-6 * page.width() * page.height()) {
        *why = QStringLiteral("the cells cover %1 of the page")
                   .arg(covered / (page.width() * page.height()));
        return false;
    }
    return true;
}

} // namespace

class TestRowsTheme : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup()
    {
        m_document.reset();
        RandomGenerator::reseed();
    }

    void editsAreOneStepEach_data();
    void editsAreOneStepEach();
    void spacingDragIsOneStep();
    void rearrangeTriesOtherOrders();
    void dragsTradePlacesInTheOrder();
    void savedCollageReadsBackEqual();
    void templatesLayOutThePage();

private:
    QList<QUrl> photos(const QList<QSize> &sizes);
    RowsTheme *rows(const QSizeF &page, const QList<QUrl> &urls);

    QTemporaryDir m_dir;
    QScopedPointer<Document> m_document;
    int m_fileCount = 0;
};

void TestRowsTheme::initTestCase()
{
    QVERIFY(m_dir.isValid());
    BuiltInThemes::registerAll();
}

QList<QUrl> TestRowsTheme::photos(const QList<QSize> &sizes)
{
    QList<QUrl> urls;
    for (const QSize &size : sizes) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor::fromHsv((m_fileCount * 47) % 360, 160, 220));
        const QString path = m_dir.filePath(QStringLiteral("photo%1.png").arg(m_fileCount++));
        if (!image.save(path))
            return {};
        urls.append(QUrl::fromLocalFile(path));
    }
    return urls;
}

RowsTheme *TestRowsTheme::rows(const QSizeF &page, const QList<QUrl> &urls)
{
    m_document.reset(new Document(true));
    m_document->setPageSize(PageSize(PageSize::Pixels, page));
    if (!urls.isEmpty() && !m_document->imageList()->insertUrls(0, urls, false))
        return nullptr;
    m_document->setThemeId(BuiltInThemes::RowsId);
    m_document->undoStack()->clear();
    return qobject_cast<RowsTheme *>(m_document->theme());
}

void TestRowsTheme::editsAreOneStepEach_data()
{
    QTest::addColumn<QString>("edit");
    QTest::newRow("insert") << "insert";
    QTest::newRow("remove") << "remove";
    QTest::newRow("move") << "move";
    QTest::newRow("rotate") << "rotate";
    QTest::newRow("frames") << "frames";
}

void TestRowsTheme::editsAreOneStepEach()
{
    QFETCH(QString, edit);
    RowsTheme *theme = rows(QSizeF(3000, 2000),
        photos({ { 64, 40 }, { 30, 40 }, { 50, 50 }, { 90, 30 }, { 40, 30 }, { 48, 64 } }));
    QVERIFY(theme);
    theme->setBorderRelative(0.2);
    theme->frames()->setEnabled(true);
    UndoStack *stack = m_document->undoStack();
    stack->clear();
    ImageList *images = m_document->imageList();
    const QList<QRectF> before = cellsInListOrder(theme);
    const QList<const ImageSource *> orderBefore = imageOrder(m_document.data());
    QString why;
    QVERIFY2(coversPageKeepingPhotos(theme, 0.85, &why), qPrintable(why));

    if (edit == QLatin1String("insert")) {
        QVERIFY(images->insertUrls(2, photos({ { 80, 20 } }), false));
    } else if (edit == QLatin1String("remove")) {
        QVERIFY(images->removeRows(1, 2));
    } else if (edit == QLatin1String("move")) {
        QVERIFY(images->moveItems(0, 0, 4));
    } else if (edit == QLatin1String("rotate")) {
        images->rotateSelected(QItemSelection(images->index(3), images->index(3)), 1);
    } else {
        theme->frames()->setSize(0.03);
    }
    QCOMPARE(stack->count(), 1);
    const QList<QRectF> after = cellsInListOrder(theme);
    const QList<const ImageSource *> orderAfter = imageOrder(m_document.data());
    QVERIFY(after != before || orderAfter != orderBefore);
    QVERIFY2(coversPageKeepingPhotos(theme, edit == QLatin1String("remove") ? 0.8 : 0.85, &why),
        qPrintable(why));
    if (edit == QLatin1String("rotate")) {
        // The panorama stood on end takes a tall cell.
        const QRectF turned = after.at(3);
        QVERIFY(turned.height() > turned.width());
    }

    stack->setIndex(0);
    QCOMPARE(imageOrder(m_document.data()), orderBefore);
    QCOMPARE(cellsInListOrder(theme), before);
    stack->setIndex(stack->count());
    QCOMPARE(imageOrder(m_document.data()), orderAfter);
    QCOMPARE(cellsInListOrder(theme), after);
}

void TestRowsTheme::spacingDragIsOneStep()
{
    RowsTheme *theme
        = rows(QSizeF(2000, 2000), photos({ { 60, 40 }, { 40, 60 }, { 50, 50 }, { 70, 30 } }));
    QVERIFY(theme);
    UndoStack *stack = m_document->undoStack();
    const QList<QRectF> before = cellsInListOrder(theme);
    for (qreal value : { 0.1, 0.2, 0.3, 0.4 })
        theme->setBorderRelative(value);
    QCOMPARE(stack->count(), 1);
    QCOMPARE(theme->borderRelative(), 0.4);
    const QList<QRectF> after = cellsInListOrder(theme);
    QVERIFY(after != before);
    // The cells were laid out for the spacing they show.
    QString why;
    QVERIFY2(coversPageKeepingPhotos(theme, 0.9, &why), qPrintable(why));

    stack->undo();
    QCOMPARE(theme->borderRelative(), 0.0);
    QCOMPARE(cellsInListOrder(theme), before);
    stack->redo();
    QCOMPARE(theme->borderRelative(), 0.4);
    QCOMPARE(cellsInListOrder(theme), after);
}

void TestRowsTheme::rearrangeTriesOtherOrders()
{
    RandomGenerator::seed(19);
    QList<QSize> sizes(8, QSize(64, 40));
    sizes += { { 40, 64 }, { 50, 50 } };
    RowsTheme *theme = rows(QSizeF(3000, 2000), photos(sizes));
    QVERIFY(theme);
    UndoStack *stack = m_document->undoStack();
    const QList<const ImageSource *> orderBefore = imageOrder(m_document.data());
    const QList<QRectF> before = cellsInListOrder(theme);

    theme->rearrange();
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("Rearrange"));
    const QList<const ImageSource *> orderAfter = imageOrder(m_document.data());
    QVERIFY(orderAfter != orderBefore);
    QList<const ImageSource *> sortedBefore = orderBefore;
    QList<const ImageSource *> sortedAfter = orderAfter;
    std::sort(sortedBefore.begin(), sortedBefore.end());
    std::sort(sortedAfter.begin(), sortedAfter.end());
    QCOMPARE(sortedAfter, sortedBefore);
    QString why;
    QVERIFY2(coversPageKeepingPhotos(theme, 0.85, &why), qPrintable(why));

    stack->undo();
    QCOMPARE(imageOrder(m_document.data()), orderBefore);
    QCOMPARE(cellsInListOrder(theme), before);
}

void TestRowsTheme::dragsTradePlacesInTheOrder()
{
    RowsTheme *theme = rows(
        QSizeF(2400, 1600), photos({ { 60, 40 }, { 40, 60 }, { 50, 50 }, { 70, 30 }, { 60, 45 } }));
    QVERIFY(theme);
    UndoStack *stack = m_document->undoStack();
    ImageList *images = m_document->imageList();
    const QList<QSharedPointer<ImageSource>> start = images->items();
    auto cellOf = [theme](const QSharedPointer<ImageSource> &image) {
        for (const auto &item : theme->items()) {
            if (item->image() == image)
                return item.data();
        }
        return static_cast<PhotoGridItemProperties *>(nullptr);
    };

    QVERIFY(theme->exchangeImages(cellOf(start[0]), cellOf(start[3])));
    QCOMPARE(images->items(),
        (QList<QSharedPointer<ImageSource>> { start[3], start[1], start[2], start[0], start[4] }));
    QCOMPARE(stack->count(), 1);
    QVERIFY(!theme->exchangeImages(cellOf(start[1]), cellOf(start[1])));

    QVERIFY(theme->placeImage(cellOf(start[1]), start[4]));
    QCOMPARE(images->items(),
        (QList<QSharedPointer<ImageSource>> { start[3], start[4], start[1], start[2], start[0] }));
    QVERIFY(!theme->placeImage(cellOf(start[2]), start[2]));
    QCOMPARE(stack->count(), 2);
    QString why;
    QVERIFY2(coversPageKeepingPhotos(theme, 0.85, &why), qPrintable(why));
    stack->setIndex(0);
    QCOMPARE(images->items(), start);
}

void TestRowsTheme::savedCollageReadsBackEqual()
{
    RowsTheme *theme = rows(
        QSizeF(3000, 2000), photos({ { 64, 40 }, { 30, 40 }, { 50, 50 }, { 90, 30 }, { 40, 30 } }));
    QVERIFY(theme);
    theme->setBorderRelative(0.25);
    theme->frames()->setSize(0.04);
    const QList<QRectF> cells = cellsInListOrder(theme);
    const QString path = m_dir.filePath(QStringLiteral("rows.tsq"));
    QString error;
    QVERIFY2(DocumentFile::save(m_document.data(), path, &error), qPrintable(error));

    std::unique_ptr<Document> opened = DocumentFile::open(path, &error, true);
    QVERIFY2(opened, qPrintable(error));
    QVERIFY(opened->imageList()->readAllFiles(false));
    QCOMPARE(opened->themeId(), BuiltInThemes::RowsId);
    auto *read = qobject_cast<RowsTheme *>(opened->theme());
    QVERIFY(read);
    QCOMPARE(read->borderRelative(), theme->borderRelative());
    QCOMPARE(read->minimumItemSize(), theme->minimumItemSize());
    QCOMPARE(read->frames()->size(), theme->frames()->size());
    QCOMPARE(cellsInListOrder(read), cells);
    // Laying the page out again changes nothing and records nothing.
    read->relayout();
    QCOMPARE(cellsInListOrder(read), cells);
    QCOMPARE(opened->undoStack()->count(), 0);
}

void TestRowsTheme::templatesLayOutThePage()
{
    m_document.reset(new Document(false));
    m_document->setPageSize(PageSize(PageSize::Pixels, QSizeF(1080, 1080)));
    QVERIFY(m_document->imageList()->insertUrls(
        0, photos({ { 64, 40 }, { 30, 40 }, { 50, 50 }, { 90, 30 }, { 40, 30 } }), false));
    QStringList names;
    for (const auto &look : ThemeRegistry::templates(m_document.data())) {
        auto *script = qobject_cast<JSTemplate *>(look.data());
        if (!script || script->themeId() != QString::fromUtf8(BuiltInThemes::RowsId))
            continue;
        names.append(look->name());
        auto *theme = qobject_cast<RowsTheme *>(look->createTheme(m_document.data()));
        QVERIFY2(theme, qPrintable(look->name()));
        QString why;
        const bool covered = coversPageKeepingPhotos(theme, 0.8, &why);
        delete theme;
        QVERIFY2(covered, qPrintable(look->name() + QStringLiteral(": ") + why));
    }
    names.sort();
    QCOMPARE(names,
        (QStringList { "Album Page", "Contact Sheet", "Dark Room", "Gallery Wall", "Rows",
            "Scrapbook Rows", "Seamless Rows", "Summer Rows" }));
}

QTEST_MAIN(TestRowsTheme)
#include "tst_rowstheme.moc"
