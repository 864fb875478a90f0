#include <QtTest>

#include <QPainter>

#include "model/document.h"
#include "scene/documentinneritem.h"
#include "scene/documentitem.h"
#include "scene/scene.h"
#include "scene/scenelayer.h"
#include "scene/scenetesttheme.h"

class TestDocumentItem : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pageFitting_data();
    void pageFitting();
    void refitsOnSceneRectAndPageSize();
    void themeChangeRebuildsThePage();
    void deletedThemeTakesItsLayer();

private:
    static SceneTestTheme *installTheme(Document &document, QColor background = Qt::white);
};

SceneTestTheme *TestDocumentItem::installTheme(Document &document, QColor background)
{
    auto *theme = new SceneTestTheme(&document);
    theme->background->setColor(background);
    document.setTheme(theme);
    return theme;
}

void TestDocumentItem::pageFitting_data()
{
    QTest::addColumn<QSizeF>("viewSize");
    QTest::addColumn<PageSize>("pageSize");
    QTest::addColumn<QRectF>("expectedPage");
    QTest::addColumn<qreal>("expectedScale");

    // available = view - 18 in each direction; the page keeps its aspect.
    QTest::newRow("wide strip in 800x600")
        << QSizeF(800, 600) << PageSize(PageSize::Pixels, QSizeF(4000, 1000))
        << QRectF(9, 202.25, 782, 195.5) << 0.1955;
    QTest::newRow("letter in inches in 400x400")
        << QSizeF(400, 400) << PageSize(PageSize::Inches, QSizeF(8.5, 11))
        << QRectF(52.4091, 9, 295.1818, 382) << 34.727273;
    QTest::newRow("view smaller than the margins")
        << QSizeF(12, 12) << PageSize(PageSize::Pixels, QSizeF(300, 300)) << QRectF(6, 6, 0, 0)
        << 0.0;
}

void TestDocumentItem::pageFitting()
{
    QFETCH(QSizeF, viewSize);
    QFETCH(PageSize, pageSize);
    QFETCH(QRectF, expectedPage);
    QFETCH(qreal, expectedScale);

    Document document(false);
    document.setPageSize(pageSize);
    installTheme(document);
    Scene scene(&document);
    scene.setSceneRect(QRectF(QPointF(0, 0), viewSize));

    DocumentItem *item = scene.documentItem();
    DocumentInnerItem *inner = item->innerItem();
    QVERIFY(inner);
    const QRectF page = item->pageRect();
    const QString text = QStringLiteral("%1,%2 %3x%4")
                             .arg(page.x())
                             .arg(page.y())
                             .arg(page.width())
                             .arg(page.height());
    QVERIFY2(qAbs(page.x() - expectedPage.x()) < 0.01 && qAbs(page.y() - expectedPage.y()) < 0.01
            && qAbs(page.width() - expectedPage.width()) < 0.01
            && qAbs(page.height() - expectedPage.height()) < 0.01,
        qPrintable(text));
    QVERIFY2(
        qAbs(inner->scale() - expectedScale) < 1e-5, qPrintable(QString::number(inner->scale())));
    QCOMPARE(inner->pos(), page.topLeft());
    if (!page.isEmpty()) {
        const qreal m = DocumentItem::ShadowMargin;
        QCOMPARE(item->boundingRect(), page.adjusted(-m, -m, m, m));
        QCOMPARE(scene.pageRect(), page);
        // The page's corner in document units lands on the page's corner.
        const QPointF corner
            = inner->mapToScene(QPointF(pageSize.size().width(), pageSize.size().height()));
        QVERIFY(qAbs(corner.x() - page.right()) < 0.01 && qAbs(corner.y() - page.bottom()) < 0.01);
    }
}

void TestDocumentItem::refitsOnSceneRectAndPageSize()
{
    Document document(false);
    document.setPageSize(PageSize(PageSize::Pixels, QSizeF(2480, 3508)));
    SceneTestTheme *theme = installTheme(document);
    Scene scene(&document);
    scene.setSceneRect(0, 0, 800, 600);
    DocumentItem *item = scene.documentItem();
    QCOMPARE(item->pageRect().height(), 582.0);

    // The view grows: the page follows at once (available 982 x 1000).
    scene.setSceneRect(0, 0, 1000, 1018);
    QVERIFY(qAbs(item->pageRect().height() - 1000) < 1e-9);
    QVERIFY(qAbs(item->pageRect().center().x() - 500) < 1e-9);

    // The page turns to landscape: width-limited now; the theme's layer
    // follows the page size.
    document.setPageSize(PageSize(PageSize::Pixels, QSizeF(3508, 2480)));
    QVERIFY(qAbs(item->pageRect().width() - 982) < 1e-9);
    QVERIFY(qAbs(item->innerItem()->scale() - 982.0 / 3508) < 1e-12);
    QCOMPARE(item->innerItem()->boundingRect(), QRectF(0, 0, 3508, 2480));
    QCOMPARE(theme->layer->boundingRect(), QRectF(0, 0, 3508, 2480));
}

void TestDocumentItem::themeChangeRebuildsThePage()
{
    Document document(false);
    Scene scene(&document);
    scene.setSceneRect(0, 0, 800, 600);
    DocumentItem *item = scene.documentItem();
    // No theme: no page, and rendering leaves the target untouched.
    QVERIFY(!item->innerItem());
    QVERIFY(scene.pageRect().isEmpty());
    QImage image(40, 30, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::green);
    QPainter painter(&image);
    scene.render(&painter);
    painter.end();
    QCOMPARE(image.pixelColor(20, 15), QColor(Qt::green));

    SceneTestTheme *first = installTheme(document);
    QPointer<DocumentInnerItem> firstInner = item->innerItem();
    QPointer<SceneTestLayer> firstLayer = first->layer;
    QVERIFY(firstInner);
    QCOMPARE(item->sceneLayer(), firstLayer.data());
    QCOMPARE(firstLayer->parentItem(), firstInner.data());
    QCOMPARE(firstLayer->scene(), &scene);

    SceneTestTheme *second = installTheme(document);
    QVERIFY(!firstInner);
    QVERIFY(!firstLayer);
    QCOMPARE(item->sceneLayer(), second->layer.data());
    QCOMPARE(second->layer->parentItem(), item->innerItem());

    document.setTheme(nullptr);
    QVERIFY(!item->innerItem());
    QVERIFY(!item->sceneLayer());
    QVERIFY(item->pageRect().isEmpty());
}

void TestDocumentItem::deletedThemeTakesItsLayer()
{
    auto *document = new Document(false);
    auto *scene = new Scene(document);
    scene->setSceneRect(0, 0, 800, 600);
    QPointer<SceneTestLayer> layer = installTheme(*document)->layer;
    QVERIFY(layer);

    // The document (and with it the theme) goes before the scene.
    delete document;
    QVERIFY(!layer);
    QVERIFY(!scene->documentItem()->innerItem());
    scene->setSceneRect(0, 0, 400, 300);
    delete scene;
}

QTEST_MAIN(TestDocumentItem)
#include "tst_documentitem.moc"
