#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include "ui/expandedwidget.h"
#include "ui/pagelistitem.h"
#include "ui/pageslist.h"

namespace {

QList<QWidget *> makePages(int count)
{
    QList<QWidget *> pages;
    for (int i = 0; i < count; ++i) {
        auto *page = new QLabel(QStringLiteral("Settings"));
        page->setMinimumSize(160, 60);
        page->setWindowTitle(QStringLiteral("Page %1").arg(i));
        pages << page;
    }
    return pages;
}

// Index of the open item, -1 for none, -2 when several are open or a
// header disagrees with its item.
int openItem(const PagesList &list)
{
    const QList<PageListItem *> items = list.items();
    int open = -1;
    for (int i = 0; i < items.size(); ++i) {
        if (items[i]->headerButton()->isChecked() != items[i]->expanded())
            return -2;
        if (items[i]->expanded())
            open = open == -1 ? i : -2;
    }
    return open;
}

} // namespace

class TestPagesList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void accordion_data();
    void accordion();
    void destroyedPageTakesItsItem();
    void clearDeletesPages();
};

void TestPagesList::accordion_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<int>("open");

    QTest::newRow("opening another folds the first") << QList<int> { 0, 2 } << 2;
    QTest::newRow("close after switching") << QList<int> { 0, 1, 1 } << -1;
}

void TestPagesList::accordion()
{
    QFETCH(QList<int>, clicks);
    QFETCH(int, open);

    PagesList list;
    const QList<QWidget *> pages = makePages(3);
    list.setPages(pages);
    const QList<PageListItem *> items = list.items();
    QCOMPARE(items.size(), 3);
    for (int index : clicks) {
        QTest::mouseClick(items[index]->headerButton(), Qt::LeftButton);
        QVERIFY(openItem(list) >= -1);
    }
    QCOMPARE(openItem(list), open);
    QCOMPARE(list.currentItem(), open < 0 ? nullptr : items[open]);

    // The item follows its wrapper, too.
    items[1]->wrapper()->setExpanded(true);
    QCOMPARE(openItem(list), 1);
}

void TestPagesList::destroyedPageTakesItsItem()
{
    PagesList list;
    const QList<QWidget *> pages = makePages(3);
    list.setPages(pages);
    QPointer<PageListItem> item = list.items().at(1);
    item->setExpanded(true);
    QCOMPARE(list.currentItem(), item.data());

    delete pages[1];
    QTRY_VERIFY(item.isNull());
    QVERIFY(!list.currentItem());
    QCOMPARE(list.items().size(), 2);

    // Destroying an item that is not the open one keeps the open one.
    list.items().at(0)->setExpanded(true);
    PageListItem *open = list.items().at(0);
    delete list.items().at(1);
    QCOMPARE(list.currentItem(), open);
}

void TestPagesList::clearDeletesPages()
{
    PagesList list;
    const QList<QWidget *> pages = makePages(3);
    QList<QPointer<QWidget>> guards(pages.cbegin(), pages.cend());
    list.setPages(pages);
    list.items().at(2)->setExpanded(true);

    list.clear();
    QCOMPARE(list.layout()->count(), 0);
    QVERIFY(!list.currentItem());
    for (const QPointer<QWidget> &guard : guards)
        QVERIFY(guard.isNull());

    // The list is filled again on every theme change.
    list.setPages(makePages(2));
    QCOMPARE(list.items().size(), 2);
    QTest::mouseClick(list.items().at(1)->headerButton(), Qt::LeftButton);
    QCOMPARE(openItem(list), 1);
}

QTEST_MAIN(TestPagesList)
#include "tst_pageslist.moc"
