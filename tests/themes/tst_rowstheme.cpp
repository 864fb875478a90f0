#include <QItemSelection>
#include <QTest>

#include "io/documentfile.h"
#include "model/frameproperties.h"
#include "model/imagesource.h"
#include "model/randomgenerator.h"
#include "themes/builtinthemes.h"
#include "themes/jstemplate.h"
#include "themes/photogrid/photogriditemproperties.h"
#include "themes/photogrid/rowstheme.h"
#include "themes/themeregistry.h"
#include "themes/themetestdata.h"

using namespace ThemeTestData;

namespace {

// The cells by the image they show, in list order.
QList<QRectF> cellsInListOrder(const RowsTheme *theme)
{
    QList<QRectF> cells;
    for (const auto &image : theme->document()->imageList()->items()) {
        for (const auto &item : theme->items()) {
            if (item->image() == image)
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
    QList<QRectF> cells;
    for (const auto &item : theme->items()) {
        const QRectF cell = item->rect();
        cells.append(cell);
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
    if (cells.size() != theme->document()->imageList()->count()) {
        *why = QStringLiteral("%1 cells for %2 photos")
                   .arg(cells.size())
                   .arg(theme->document()->imageList()->count());
        return false;
    }
    return tiles(cells, theme->document()->pageSize().size(), why);
}

} // namespace

class TestRowsTheme : public QObject
{
    Q_OBJECT

private:
    RowsTheme *rows(const QSizeF &page, const QList<QSize> &sizes)
    {
        m_document.reset(newDocument(page, m_photos.write(sizes), BuiltInThemes::RowsId));
        return m_document ? qobject_cast<RowsTheme *>(m_document->theme()) : nullptr;
    }
    // The order of the images and their cells.
    auto state(const RowsTheme *theme) const
    {
        return [this, theme] {
            return std::pair(imageOrder(m_document.data()), cellsInListOrder(theme));
        };
    }

    PhotoFiles m_photos;
    QScopedPointer<Document> m_document;

private Q_SLOTS:
    void initTestCase() { BuiltInThemes::registerAll(); }
    void cleanup()
    {
        m_document.reset();
        RandomGenerator::reseed();
    }

    void editsAreOneStepEach_data()
    {
        QTest::addColumn<QString>("edit");
        for (const char *edit : { "insert", "remove", "move", "rotate", "frames" })
            QTest::newRow(edit) << QString::fromLatin1(edit);
    }

    void editsAreOneStepEach()
    {
        QFETCH(QString, edit);
        RowsTheme *theme = rows(QSizeF(3000, 2000),
            { { 64, 40 }, { 30, 40 }, { 50, 50 }, { 90, 30 }, { 40, 30 }, { 48, 64 } });
        QVERIFY(theme);
        theme->setBorderRelative(0.2);
        theme->frames()->setEnabled(true);
        UndoStack *stack = m_document->undoStack();
        stack->clear();
        ImageList *images = m_document->imageList();
        const auto before = state(theme)();
        QString why;
        QVERIFY2(coversPageKeepingPhotos(theme, 0.85, &why), qPrintable(why));

        if (edit == QLatin1String("insert"))
            QVERIFY(images->insertUrls(2, m_photos.write({ { 80, 20 } }), false));
        else if (edit == QLatin1String("remove"))
            QVERIFY(images->removeRows(1, 2));
        else if (edit == QLatin1String("move"))
            QVERIFY(images->moveItems(0, 0, 4));
        else if (edit == QLatin1String("rotate"))
            images->rotateSelected(QItemSelection(images->index(3), images->index(3)), 1);
        else
            theme->frames()->setSize(0.03);
        QCOMPARE(stack->count(), 1);
        const auto after = state(theme)();
        QVERIFY(after != before);
        QVERIFY2(coversPageKeepingPhotos(theme, edit == QLatin1String("remove") ? 0.8 : 0.85, &why),
            qPrintable(why));
        // The panorama stood on end takes a tall cell.
        if (edit == QLatin1String("rotate"))
            QVERIFY(after.second.at(3).height() > after.second.at(3).width());
        compareUndoRedo(stack, state(theme), before, after);
    }

    void spacingDragIsOneStep()
    {
        RowsTheme *theme
            = rows(QSizeF(2000, 2000), { { 60, 40 }, { 40, 60 }, { 50, 50 }, { 70, 30 } });
        QVERIFY(theme);
        const QList<QRectF> before = cellsInListOrder(theme);
        for (qreal value : { 0.1, 0.2, 0.3, 0.4 })
            theme->setBorderRelative(value);
        QCOMPARE(m_document->undoStack()->count(), 1);
        const QList<QRectF> after = cellsInListOrder(theme);
        QVERIFY(after != before);
        // The cells were laid out for the spacing they show.
        QString why;
        QVERIFY2(coversPageKeepingPhotos(theme, 0.9, &why), qPrintable(why));
        const auto spacing
            = [theme] { return std::pair(theme->borderRelative(), cellsInListOrder(theme)); };
        compareUndoRedo(
            m_document->undoStack(), spacing, std::pair(0.0, before), std::pair(0.4, after));
    }

    void rearrangeTriesOtherOrders()
    {
        RandomGenerator::seed(19);
        QList<QSize> sizes(8, QSize(64, 40));
        sizes += { { 40, 64 }, { 50, 50 } };
        RowsTheme *theme = rows(QSizeF(3000, 2000), sizes);
        QVERIFY(theme);
        UndoStack *stack = m_document->undoStack();
        const auto before = state(theme)();

        theme->rearrange();
        QCOMPARE(stack->count(), 1);
        QCOMPARE(stack->text(0), QStringLiteral("Rearrange"));
        const auto after = state(theme)();
        QVERIFY(after.first != before.first);
        QList<const ImageSource *> sortedBefore = before.first;
        QList<const ImageSource *> sortedAfter = after.first;
        std::sort(sortedBefore.begin(), sortedBefore.end());
        std::sort(sortedAfter.begin(), sortedAfter.end());
        QCOMPARE(sortedAfter, sortedBefore);
        QString why;
        QVERIFY2(coversPageKeepingPhotos(theme, 0.85, &why), qPrintable(why));
        compareUndoRedo(stack, state(theme), before, after);
    }

    void dragsTradePlacesInTheOrder()
    {
        RowsTheme *theme = rows(
            QSizeF(2400, 1600), { { 60, 40 }, { 40, 60 }, { 50, 50 }, { 70, 30 }, { 60, 45 } });
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
            (QList<QSharedPointer<ImageSource>> {
                start[3], start[1], start[2], start[0], start[4] }));
        QVERIFY(!theme->exchangeImages(cellOf(start[1]), cellOf(start[1])));
        QVERIFY(theme->placeImage(cellOf(start[1]), start[4]));
        QCOMPARE(images->items(),
            (QList<QSharedPointer<ImageSource>> {
                start[3], start[4], start[1], start[2], start[0] }));
        QVERIFY(!theme->placeImage(cellOf(start[2]), start[2]));
        QCOMPARE(stack->count(), 2);
        QString why;
        QVERIFY2(coversPageKeepingPhotos(theme, 0.85, &why), qPrintable(why));
        stack->setIndex(0);
        QCOMPARE(images->items(), start);
    }

    void savedCollageReadsBackEqual()
    {
        RowsTheme *theme = rows(
            QSizeF(3000, 2000), { { 64, 40 }, { 30, 40 }, { 50, 50 }, { 90, 30 }, { 40, 30 } });
        QVERIFY(theme);
        theme->setBorderRelative(0.25);
        theme->frames()->setSize(0.04);
        const QList<QRectF> cells = cellsInListOrder(theme);
        const QString path = m_photos.path(QStringLiteral("rows.tsq"));
        QString error;
        QVERIFY2(DocumentFile::save(m_document.data(), path, &error), qPrintable(error));

        std::unique_ptr<Document> opened = DocumentFile::open(path, &error, true);
        QVERIFY2(opened, qPrintable(error));
        QVERIFY(opened->imageList()->readAllFiles(false));
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

    void templatesLayOutThePage()
    {
        m_document.reset(newDocument(QSizeF(1080, 1080),
            m_photos.write({ { 64, 40 }, { 30, 40 }, { 50, 50 }, { 90, 30 }, { 40, 30 } })));
        QVERIFY(m_document);
        QStringList names;
        for (const auto &look : ThemeRegistry::templates(m_document.data())) {
            auto *script = qobject_cast<JSTemplate *>(look.data());
            if (!script || script->themeId() != QString::fromUtf8(BuiltInThemes::RowsId))
                continue;
            names.append(look->name());
            QScopedPointer<Theme> theme(look->createTheme(m_document.data()));
            auto *rowsTheme = qobject_cast<RowsTheme *>(theme.data());
            QVERIFY2(rowsTheme, qPrintable(look->name()));
            QString why;
            QVERIFY2(coversPageKeepingPhotos(rowsTheme, 0.8, &why),
                qPrintable(look->name() + ": " + why));
        }
        names.sort();
        QCOMPARE(names,
            (QStringList { "Album Page", "Contact Sheet", "Dark Room", "Gallery Wall", "Rows",
                "Scrapbook Rows", "Seamless Rows", "Summer Rows" }));
    }
};

QTEST_MAIN(TestRowsTheme)
#include "tst_rowstheme.moc"
