#include <QDir>
#include <QSvgRenderer>
#include <QTest>

namespace {

const QString stickerFolder = QStringLiteral(":/stickers/");

} // namespace

class TestStickerFiles : public QObject
{
    Q_OBJECT

private slots:
    void libraryListing();
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
    // Every shipped sticker must load.
    for (const QString &file : files)
        QVERIFY2(QSvgRenderer(stickerFolder + file).isValid(), qPrintable(file));
}

QTEST_MAIN(TestStickerFiles)
#include "tst_stickerfiles.moc"
