#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "imaging/imagecache.h"
#include "imaging/testphotos.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/missingphotos.h"
#include "undo/undostack.h"

class TestMissingPhotos : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void movedFolderIsRelinkedInOneStep()
    {
        // Two photos share a name in different folders, as two cameras' would.
        const QStringList names { "trip/rome/IMG_1.jpg", "trip/paris/IMG_1.jpg", "trip/b.jpg",
            "trip/c.jpg" };
        QList<QUrl> urls;
        for (int i = 0; i < names.size(); ++i)
            urls.append(QUrl::fromLocalFile(makePhoto(names[i], i + 1)));
        Document document(true);
        QVERIFY(document.imageList()->insertUrls(0, urls, false));
        QVERIFY(MissingPhotos::find(document.imageList()).isEmpty());
        UndoStack *stack = document.undoStack();
        const int steps = stack->count();

        QVERIFY(QDir().mkpath(m_dir.filePath("backup/2019")));
        QVERIFY(QDir().rename(m_dir.filePath("trip"), m_dir.filePath("backup/2019/trip")));
        QList<QString> lastPaths;
        for (const QUrl &url : urls)
            lastPaths.append(url.toLocalFile());
        QCOMPARE(paths(MissingPhotos::find(document.imageList())), lastPaths);

        QCOMPARE(MissingPhotos::relink(document.imageList(), m_dir.filePath("backup")), 4);
        QVERIFY(MissingPhotos::find(document.imageList()).isEmpty());
        QCOMPARE(stack->count(), steps + 1);
        const auto &items = document.imageList()->items();
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(items[i]->source().toLocalFile(), m_dir.filePath("backup/2019/" + names[i]));

        stack->undo();
        QCOMPARE(MissingPhotos::find(document.imageList()).size(), 4);
        QCOMPARE(items[1]->source(), urls[1]);
        stack->redo();
        QVERIFY(MissingPhotos::find(document.imageList()).isEmpty());
    }

    void onlyWhatIsFoundIsRelinked()
    {
        const QUrl kept = QUrl::fromLocalFile(makePhoto("old/kept.jpg", 7));
        const QUrl found = QUrl::fromLocalFile(makePhoto("old/found.jpg", 8));
        const QUrl lost = QUrl::fromLocalFile(makePhoto("old/lost.jpg", 9));
        Document document(true);
        QVERIFY(document.imageList()->insertUrls(0, { kept, found, lost }, false));
        makePhoto("new/deeper/found.jpg", 8);
        QVERIFY(QFile::remove(found.toLocalFile()));
        QVERIFY(QFile::remove(lost.toLocalFile()));

        QCOMPARE(MissingPhotos::relink(document.imageList(), m_dir.filePath("nowhere")), 0);
        QCOMPARE(MissingPhotos::relink(document.imageList(), m_dir.filePath("new")), 1);
        QCOMPARE(paths(MissingPhotos::find(document.imageList())),
            QList<QString> { lost.toLocalFile() });
        QCOMPARE(document.imageList()->items()[0]->source(), kept);
        // Nothing more to find there: no empty undo step either.
        const int steps = document.undoStack()->count();
        QCOMPARE(MissingPhotos::relink(document.imageList(), m_dir.filePath("new")), 0);
        QCOMPARE(document.undoStack()->count(), steps);
    }

    void bestCandidate_data()
    {
        QTest::addColumn<QString>("lastPath");
        QTest::addColumn<QStringList>("candidates");
        QTest::addColumn<QString>("expected");

        const QString a = makePhoto("pick/2019/rome/x.jpg", 1);
        const QString b = makePhoto("pick/2020/rome/x.jpg", 2, QSize(50, 30));
        const QString c = makePhoto("pick/misc/x.jpg", 3);
        const QString copy1 = makePhoto("pick/one/y.jpg", 4);
        const QString copy2 = makePhoto("pick/two/y.jpg", 4);
        QTest::newRow("none") << "/old/x.jpg" << QStringList() << QString();
        QTest::newRow("the only one") << "/old/x.jpg" << QStringList { c } << c;
        QTest::newRow("matching folder") << "/home/ann/misc/x.jpg" << QStringList { a, b, c } << c;
        QTest::newRow("more matching folders")
            << "/media/card/2020/rome/x.jpg" << QStringList { a, b, c } << b;
        QTest::newRow("a guess is refused")
            << "/media/card/rome/x.jpg" << QStringList { a, b } << QString();
        QTest::newRow("copies of one file")
            << "/old/y.jpg" << QStringList { copy1, copy2 } << copy1;
    }

    void bestCandidate()
    {
        QFETCH(QString, lastPath);
        QFETCH(QStringList, candidates);
        QFETCH(QString, expected);
        QCOMPARE(MissingPhotos::bestCandidate(lastPath, candidates), expected);
    }

private:
    QString makePhoto(const QString &relativePath, int seed, const QSize &size = QSize(40, 30))
    {
        const QString path = m_dir.filePath(relativePath);
        QDir().mkpath(QFileInfo(path).path());
        if (!TestPhotos::writeFile(
                path, TestPhotos::encode(TestPhotos::photoLike(size, quint32(seed)), "jpeg", 80)))
            return QString();
        return path;
    }

    QList<QString> paths(const QList<QSharedPointer<ImageSource>> &sources) const
    {
        QList<QString> result;
        for (const auto &source : sources)
            result.append(source->source().toLocalFile());
        return result;
    }

    QTemporaryDir m_dir;
};

QTEST_MAIN(TestMissingPhotos)
#include "tst_missingphotos.moc"
