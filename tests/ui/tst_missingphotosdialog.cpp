#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "imaging/testphotos.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "ui/missingphotosdialog.h"
#include "undo/undostack.h"

class TestMissingPhotosDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void locateInTwoFolders();
    void nothingMissingShowsNothing();

private:
    QString makePhoto(const QString &relativePath, int seed);

    QTemporaryDir m_dir;
};

void TestMissingPhotosDialog::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestMissingPhotosDialog::cleanup()
{
    MissingPhotosDialog::setFolderChooser({});
}

QString TestMissingPhotosDialog::makePhoto(const QString &relativePath, int seed)
{
    const QString path = m_dir.filePath(relativePath);
    QDir().mkpath(QFileInfo(path).path());
    TestPhotos::writeFile(
        path, TestPhotos::encode(TestPhotos::photoLike(QSize(40, 30), quint32(seed)), "jpeg"));
    return path;
}

void TestMissingPhotosDialog::locateInTwoFolders()
{
    const QString present = makePhoto("home/present.jpg", 1);
    const QString first = makePhoto("home/away/first.jpg", 2);
    const QString second = makePhoto("home/away/second.jpg", 3);
    Document document(true);
    QVERIFY(document.imageList()->insertUrls(0,
        { QUrl::fromLocalFile(present), QUrl::fromLocalFile(first), QUrl::fromLocalFile(second) },
        false));
    QVERIFY(QDir().rename(m_dir.filePath("home/away"), m_dir.filePath("elsewhere")));
    QVERIFY(QDir().mkpath(m_dir.filePath("split")));
    QVERIFY(
        QFile::rename(m_dir.filePath("elsewhere/second.jpg"), m_dir.filePath("split/second.jpg")));

    MissingPhotosDialog dialog(&document);
    auto *list = dialog.findChild<QTreeWidget *>();
    QVERIFY(list);
    QCOMPARE(dialog.missingCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("first.jpg"));
    QCOMPARE(list->topLevelItem(1)->text(1), QDir::toNativeSeparators(m_dir.filePath("home/away")));

    QStringList asked;
    QString answer = m_dir.filePath("elsewhere");
    MissingPhotosDialog::setFolderChooser([&](QWidget *, const QString &title) {
        asked.append(title);
        return answer;
    });
    QPushButton *locate = nullptr;
    for (QPushButton *button : dialog.findChildren<QPushButton *>())
        if (button->text() == QStringLiteral("Locate..."))
            locate = button;
    QVERIFY(locate);
    dialog.show();
    QTest::mouseClick(locate, Qt::LeftButton);
    QCOMPARE(asked.size(), 1);
    QCOMPARE(dialog.missingCount(), 1);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("second.jpg"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(document.imageList()->items()[1]->source().toLocalFile(),
        m_dir.filePath("elsewhere/first.jpg"));

    answer = QString(); // cancelled: nothing changes
    QTest::mouseClick(locate, Qt::LeftButton);
    QCOMPARE(dialog.missingCount(), 1);

    answer = m_dir.filePath("split");
    QTest::mouseClick(locate, Qt::LeftButton);
    QCOMPARE(dialog.missingCount(), 0);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    // Each search was one undo step.
    document.undoStack()->undo();
    QCOMPARE(document.imageList()->items()[2]->source().toLocalFile(), second);
    QCOMPARE(document.imageList()->items()[1]->source().toLocalFile(),
        m_dir.filePath("elsewhere/first.jpg"));
}

void TestMissingPhotosDialog::nothingMissingShowsNothing()
{
    Document document(true);
    QVERIFY(document.imageList()->insertUrls(
        0, { QUrl::fromLocalFile(makePhoto("here/a.jpg", 4)) }, false));
    QVERIFY(!MissingPhotosDialog::showIfPhotosMissing(&document, nullptr));
}

QTEST_MAIN(TestMissingPhotosDialog)
#include "tst_missingphotosdialog.moc"
