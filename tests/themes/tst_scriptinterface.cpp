#include <QtTest>

#include <QJSEngine>
#include <QPainter>

#include "model/document.h"
#include "model/imagelist.h"
#include "themes/builtinthemes.h"
#include "themes/jstemplate.h"
#include "themes/theme.h"

namespace {

// A document with a few of the bundled photos on a 3000 x 2000 page.
Document *newDocument()
{
    auto *document = new Document(false);
    document->setPageSize(PageSize(PageSize::Pixels, QSizeF(3000, 2000)));
    QList<QUrl> photos;
    for (int i = 1; i <= 4; ++i)
        photos.append(QUrl::fromLocalFile(QStringLiteral(":/samples/sample%1.jpg").arg(i)));
    document->imageList()->insertUrls(0, photos, false);
    return document;
}

} // namespace

class TestScriptInterface : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { BuiltInThemes::registerAll(); }
    void paths_data();
    void paths();
    void everyTemplateTunes_data();
    void everyTemplateTunes();
};

void TestScriptInterface::paths_data()
{
    QTest::addColumn<QByteArray>("themeId");
    QTest::addColumn<QString>("script"); // run against `theme`
    QTest::addColumn<QString>("check"); // must evaluate to true afterwards

    // The conversions template scripts rely on, on both themes: colour names,
    // an offset given as a point, and the page size read back in page units.
    for (const QByteArray &id : { BuiltInThemes::PhotoDropId, BuiltInThemes::MosaicId })
        QTest::newRow(id == BuiltInThemes::PhotoDropId ? "drop" : "mosaic")
            << id
            << "theme.shadows.color = 'white'; theme.shadows.offset = {x: 0, y: -5};"
               " theme.background.gradientEndColor = 'navy'"
            << "theme.document.pageSize.size.width === 3000"
               " && theme.document.pageSize.size.height === 2000"
               " && theme.shadows.color.toString() === '#ffffff'"
               " && Math.abs(theme.shadows.offset.y + 5) < 1e-9"
               " && Math.abs(theme.shadows.distance - 5) < 1e-9"
               " && theme.background.gradientEndColor.toString() === '#000080'";
    QTest::newRow("mosaic: border writes borderRelative")
        << BuiltInThemes::MosaicId << "theme.border = theme.minimumItemSize * 0.5 * 0.25"
        << "Math.abs(theme.borderRelative - 0.25) < 1e-9 && theme.minimumItemSize > 0 "
           "&& theme.minimumItemSize <= 2000";
}

void TestScriptInterface::paths()
{
    QFETCH(QByteArray, themeId);
    QFETCH(QString, script);
    QFETCH(QString, check);

    QScopedPointer<Document> document(newDocument());
    document->setThemeId(themeId);
    QVERIFY(document->theme());
    QJSEngine engine;
    engine.globalObject().setProperty(
        QStringLiteral("theme"), engine.newQObject(document->theme()));
    const QJSValue written = engine.evaluate(script);
    QVERIFY2(!written.isError(), qPrintable(written.toString()));
    const QJSValue result = engine.evaluate(check);
    QVERIFY2(!result.isError(), qPrintable(result.toString()));
    QVERIFY2(result.toBool(), qPrintable(check));
}

void TestScriptInterface::everyTemplateTunes_data()
{
    QTest::addColumn<QByteArray>("themeId");
    QTest::addColumn<QString>("file");

    const QList<std::tuple<QString, QByteArray, int>> libraries
        = { { QStringLiteral(":/PhotoDropTemplates"), BuiltInThemes::PhotoDropId, 36 },
              { QStringLiteral(":/MosaicTemplates"), BuiltInThemes::MosaicId, 61 } };
    for (const auto &[folder, themeId, count] : libraries) {
        const QStringList files = QDir(folder).entryList({ QStringLiteral("*.qjs") });
        QCOMPARE(files.size(), count);
        for (const QString &file : files)
            QTest::newRow(qPrintable(file + QLatin1Char('@') + folder))
                << themeId << QDir(folder).filePath(file);
    }
}

void TestScriptInterface::everyTemplateTunes()
{
    QFETCH(QByteArray, themeId);
    QFETCH(QString, file);

    QFile script(file);
    QVERIFY(script.open(QIODevice::ReadOnly));
    QScopedPointer<Document> document(newDocument());
    JSTemplate look(script.readAll(), themeId, document.data());
    QVERIFY(!look.name().isEmpty());
    Theme *theme = look.createTheme(document.data());
    QVERIFY(theme);
    QVERIFY2(look.lastError().isEmpty(), qPrintable(look.lastError()));
    document->setTheme(theme);
    QCOMPARE(theme->property("Theme.Id").toByteArray(), themeId);

    // The tuned theme draws: render it small and make sure the photos show.
    QImage page(300, 200, QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::transparent);
    QPainter painter(&page);
    document->render(&painter, QRectF(0, 0, 300, 200));
    painter.end();
    QSet<QRgb> colours;
    for (int y = 0; y < page.height(); y += 5)
        for (int x = 0; x < page.width(); x += 5)
            colours.insert(page.pixel(x, y) & 0xF0F0F0F0);
    QVERIFY2(colours.size() > 3, "the page shows no photos");
}

QTEST_MAIN(TestScriptInterface)
#include "tst_scriptinterface.moc"
