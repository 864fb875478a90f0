#include <QtTest>

#include <QColorSpace>
#include <QColorTransform>
#include <QProcess>
#include <QTemporaryDir>

#include "imaging/heifdecoder.h"
#include "imaging/testphotos.h"

namespace {

struct Result
{
    int exitCode = -1;
    QString err;
};

Result tesselo(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(TESSELO_EXECUTABLE), arguments);
    if (!process.waitForFinished(120000))
        return {};
    return { process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError()) };
}

} // namespace

// Photos as phones and cameras make them, through the whole program: read,
// laid out, rendered and written by the command line.
class TestCommandLinePhotos : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void heicIsUpright();
    void displayP3JpegComesOutInSrgb();
    void missingPhotosAreNamed();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

void TestCommandLinePhotos::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestCommandLinePhotos::heicIsUpright()
{
    if (HeifDecoder::suffixes().isEmpty())
        QSKIP("built without libheif");
    // Stored 64 x 48 with a quarter turn clockwise in its transform.
    const QString photo = QFINDTESTDATA("../imaging/data/rotated.heic");
    QVERIFY(!photo.isEmpty());
    const QString out = path(QStringLiteral("heic.png"));
    const Result result
        = tesselo({ "--export", out, "--page", "300x400px", "--width", "300", photo });
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    const QImage image(out);
    QCOMPARE(image.size(), QSize(300, 400));
    QVERIFY(TestPhotos::near(image.pixel(90, 120), Qt::blue));
    QVERIFY(TestPhotos::near(image.pixel(210, 120), Qt::red));
    QVERIFY(TestPhotos::near(image.pixel(90, 280), Qt::yellow));
    QVERIFY(TestPhotos::near(image.pixel(210, 280), Qt::green));
}

void TestCommandLinePhotos::displayP3JpegComesOutInSrgb()
{
    const QRgb stored = qRgb(200, 100, 50);
    QImage flat(400, 300, QImage::Format_RGB32);
    flat.fill(stored);
    const QColorSpace p3(QColorSpace::DisplayP3);
    const QString photo = path(QStringLiteral("p3.jpg"));
    QVERIFY(TestPhotos::writeFile(photo,
        TestPhotos::withIccProfile(TestPhotos::encode(flat, "jpeg", 100), p3.iccProfile(), 200)));
    const QRgb expected = p3.transformationToColorSpace(QColorSpace::SRgb).map(stored);
    QVERIFY(qAbs(qBlue(expected) - qBlue(stored)) > 12); // the conversion shows

    for (const QString &format : { QStringLiteral("png"), QStringLiteral("jpg") }) {
        const QString out = path(QStringLiteral("p3-out.") + format);
        const Result result
            = tesselo({ "--export", out, "--page", "400x300px", "--width", "400", photo });
        QVERIFY2(result.exitCode == 0, qPrintable(result.err));
        const QImage image(out);
        const QRgb pixel = image.pixel(200, 150);
        QVERIFY2(TestPhotos::near(pixel, QColor(expected), 6),
            qPrintable(QColor(pixel).name() + QStringLiteral(" for ") + QColor(expected).name()));
        // The file says what its numbers mean.
        QCOMPARE(image.colorSpace().primaries(), QColorSpace::Primaries::SRgb);
        QCOMPARE(image.colorSpace().transferFunction(), QColorSpace::TransferFunction::SRgb);
    }
}

void TestCommandLinePhotos::missingPhotosAreNamed()
{
    QStringList photos;
    for (int i = 0; i < 3; ++i) {
        photos.append(path(QStringLiteral("trip/photo%1.jpg").arg(i)));
        QDir().mkpath(path(QStringLiteral("trip")));
        QVERIFY(TestPhotos::writeFile(
            photos.last(), TestPhotos::encode(TestPhotos::photoLike(QSize(300, 200), i), "jpeg")));
    }
    const QString collage = path(QStringLiteral("trip.tsq"));
    Result saved = tesselo(QStringList { "--save", collage } + photos);
    QVERIFY2(saved.exitCode == 0, qPrintable(saved.err));
    QVERIFY(QFile::remove(photos[1]));

    const Result result = tesselo({ "--export", path(QStringLiteral("trip.png")), collage });
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(
        result.err.contains(QStringLiteral("missing photo ") + QDir::toNativeSeparators(photos[1])),
        qPrintable(result.err));
    QVERIFY(!result.err.contains(QStringLiteral("photo0.jpg")));
    QVERIFY(QFile::exists(path(QStringLiteral("trip.png"))));
}

QTEST_MAIN(TestCommandLinePhotos)
#include "tst_commandlinephotos.moc"
