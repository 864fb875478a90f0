#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/visibilityreport.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagelist.h"
#include "model/itemtransform.h"
#include "model/rotationrestriction.h"
#include "themes/builtinthemes.h"
#include "themes/photodrop/photodropitemproperties.h"
#include "themes/photodrop/photodropitempropertieslist.h"
#include "themes/photodrop/photodroptheme.h"
#include "themes/photogrid/photogridtheme.h"

class TestVisibilityReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void gridCropsToTheCell();
    void pileCountsWhatLiesAbove_data();
    void pileCountsWhatLiesAbove();

private:
    std::unique_ptr<Document> document(const QByteArray &theme, const QList<QSize> &sizes);

    QTemporaryDir m_dir;
    int m_fileCount = 0;
};

void TestVisibilityReport::initTestCase()
{
    QVERIFY(m_dir.isValid());
    BuiltInThemes::registerAll();
}

std::unique_ptr<Document> TestVisibilityReport::document(
    const QByteArray &theme, const QList<QSize> &sizes)
{
    QList<QUrl> urls;
    for (const QSize &size : sizes) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        const QString path = m_dir.filePath(QStringLiteral("p%1.png").arg(m_fileCount++));
        if (!image.save(path))
            return nullptr;
        urls.append(QUrl::fromLocalFile(path));
    }
    auto made = std::make_unique<Document>(false);
    made->setPageSize(PageSize(PageSize::Pixels, QSizeF(1000, 1000)));
    if (!made->imageList()->insertUrls(0, urls, false))
        return nullptr;
    made->setThemeId(theme);
    return made;
}

void TestVisibilityReport::gridCropsToTheCell()
{
    // One 16:10 photo filling a square page keeps 10/16 of its width.
    std::unique_ptr<Document> mosaic = document(BuiltInThemes::MosaicId, { { 160, 100 } });
    QVERIFY(mosaic);
    auto *theme = qobject_cast<PhotoGridTheme *>(mosaic->theme());
    theme->frames()->setEnabled(false);
    theme->rotationRestrictions()->setVariation(0);
    theme->setBorderRelative(0.1);
    const VisibilityReport report(mosaic.get(), QSizeF(500, 500));
    QCOMPARE(report.photos().size(), 1);
    QVERIFY(qAbs(report.photos().first().visibleFraction - 0.625) < 1e-6);
    // The spacing is 0.1 x 1000 / 2 = 50 page units, 25 output pixels.
    const QRectF area = report.photos().first().area;
    QVERIFY((area.topLeft() - QPointF(25, 25)).manhattanLength() < 0.02);
    QVERIFY((area.bottomRight() - QPointF(475, 475)).manhattanLength() < 0.02);

    const VisibilityReport empty(nullptr, QSizeF(100, 100)); // no collage: nothing hidden
    QVERIFY(empty.photos().isEmpty());
    QCOMPARE(empty.meanVisibleFraction(), 1.0);
}

void TestVisibilityReport::pileCountsWhatLiesAbove_data()
{
    QTest::addColumn<QPointF>("lower");
    QTest::addColumn<QPointF>("upper");
    QTest::addColumn<qreal>("lowerVisible");
    QTest::addColumn<qreal>("upperVisible");

    QTest::newRow("apart") << QPointF(250, 250) << QPointF(750, 750) << 1.0 << 1.0;
    QTest::newRow("right half covered") << QPointF(500, 500) << QPointF(700, 500) << 0.5 << 1.0;
    QTest::newRow("a quarter covered") << QPointF(500, 500) << QPointF(700, 700) << 0.75 << 1.0;
    QTest::newRow("half off the page") << QPointF(1000, 500) << QPointF(0, 0) << 0.5 << 0.25;
}

void TestVisibilityReport::pileCountsWhatLiesAbove()
{
    QFETCH(QPointF, lower);
    QFETCH(QPointF, upper);
    QFETCH(qreal, lowerVisible);
    QFETCH(qreal, upperVisible);

    // Two square photos of 400 x 400 on the page, the second on top.
    std::unique_ptr<Document> pile
        = document(BuiltInThemes::PhotoDropId, { { 80, 80 }, { 80, 80 } });
    QVERIFY(pile);
    auto *theme = qobject_cast<PhotoDropTheme *>(pile->theme());
    QCOMPARE(theme->items()->count(), 2);
    const QPointF places[] = { lower, upper };
    for (int k = 0; k < 2; ++k) {
        ItemTransform *transform = theme->items()->at(k)->transform();
        transform->setPosition(places[k]);
        transform->setZoom(400);
        transform->setRotation(0);
    }
    const VisibilityReport report(pile.get(), QSizeF(1000, 1000));
    QCOMPARE(report.photos().size(), 2);
    QVERIFY2(qAbs(report.photos().at(0).visibleFraction - lowerVisible) < 0.005,
        qPrintable(QString::number(report.photos().at(0).visibleFraction)));
    QVERIFY2(qAbs(report.photos().at(1).visibleFraction - upperVisible) < 0.005,
        qPrintable(QString::number(report.photos().at(1).visibleFraction)));
    QCOMPARE(report.photos().at(1).area.size(), QSizeF(400, 400));
}

QTEST_MAIN(TestVisibilityReport)
#include "tst_visibilityreport.moc"
