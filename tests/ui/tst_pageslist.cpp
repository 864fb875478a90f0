#include <QLabel>
#include <QLayout>
#include <QPixmap>
#include <QPointer>
#include <QPropertyAnimation>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "ui/expandedwidget.h"
#include "ui/pagelistitem.h"
#include "ui/pageslist.h"

namespace {

QWidget *makePage(const QString &title)
{
    auto *page = new QLabel(QStringLiteral("Settings of ") + title);
    page->setMinimumSize(160, 60);
    page->setWindowTitle(title);
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    page->setWindowIcon(QIcon(pixmap));
    return page;
}

QList<QWidget *> makePages(int count)
{
    QList<QWidget *> pages;
    for (int i = 0; i < count; ++i)
        pages << makePage(QStringLiteral("Page %1").arg(i));
    return pages;
}

// Index of the open item, -1 for none; also checks that exactly the open
// item has its header checked.
int openItem(const PagesList &list)
{
    const QList<PageListItem *> items = list.items();
    int open = -1;
    for (int i = 0; i < items.size(); ++i) {
        if (items[i]->expanded()) {
            if (open != -1)
                return -2;
            open = i;
        }
        if (items[i]->headerButton()->isChecked() != items[i]->expanded())
            return -3;
    }
    return open;
}

bool animationsDone(const PagesList &list)
{
    const QList<PageListItem *> items = list.items();
    for (PageListItem *item : items) {
        if (item->wrapper()->animation()->state() != QAbstractAnimation::Stopped)
            return false;
    }
    return true;
}

} // namespace

class TestPagesList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void itemWrapsPage();
    void itemWiring();
    void setPages_data();
    void setPages();
    void accordion_data();
    void accordion();
    void accordionFoldsWithAnimation();
    void destroyedPageTakesItsItem();
    void clearDeletesPages();
};

void TestPagesList::itemWrapsPage()
{
    QWidget *page = makePage(QStringLiteral("Shadows"));
    PageListItem item(page);
    QToolButton *header = item.findChild<QToolButton *>(QStringLiteral("headerButton"));
    auto *wrapper = item.findChild<ExpandedWidget *>(QStringLiteral("animatedWrapper"));
    QVERIFY(header);
    QVERIFY(wrapper);
    QCOMPARE(header, item.headerButton());
    QCOMPARE(wrapper, item.wrapper());
    QCOMPARE(wrapper->content(), page);
    QCOMPARE(page->parentWidget(), wrapper);

    QCOMPARE(header->text(), QStringLiteral("Shadows"));
    QCOMPARE(header->icon().cacheKey(), page->windowIcon().cacheKey());
    QCOMPARE(header->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    QCOMPARE(header->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(header->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    QVERIFY(header->isCheckable());
    QVERIFY(!header->isChecked());
    QVERIFY(wrapper->opacityAnimationEnabled());

    QCOMPARE(item.layout()->spacing(), 0);
    QCOMPARE(item.layout()->contentsMargins(), QMargins());
    QCOMPARE(item.layout()->itemAt(0)->widget(), header);
    QCOMPARE(item.layout()->itemAt(1)->widget(), wrapper);
}

void TestPagesList::itemWiring()
{
    PageListItem item(makePage(QStringLiteral("Frames")));
    QSignalSpy spy(&item, &PageListItem::expandChanged);

    item.headerButton()->click();
    QVERIFY(item.wrapper()->expanded());
    QVERIFY(item.expanded());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.last().at(0).toBool(), true);

    item.setExpanded(false);
    QVERIFY(!item.headerButton()->isChecked());
    QVERIFY(!item.wrapper()->expanded());
    QCOMPARE(spy.count(), 2);

    // The wrapper drives the header, too.
    item.wrapper()->setExpanded(true);
    QVERIFY(item.headerButton()->isChecked());
    QCOMPARE(spy.count(), 3);

    item.setProperty("expanded", false);
    QVERIFY(!item.expanded());
    QVERIFY(!item.headerButton()->isChecked());
}

void TestPagesList::setPages_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("four") << 4;
}

void TestPagesList::setPages()
{
    QFETCH(int, count);

    PagesList list;
    const QList<QWidget *> pages = makePages(count);
    list.setPages(pages);

    const QList<PageListItem *> items = list.items();
    QCOMPARE(items.size(), count);
    for (int i = 0; i < count; ++i) {
        QCOMPARE(items[i]->page(), pages[i]);
        QCOMPARE(items[i]->headerButton()->text(), QStringLiteral("Page %1").arg(i));
        QCOMPARE(items[i]->parentWidget(), &list);
        QVERIFY(!items[i]->expanded());
    }
    // The pages are followed by a stretch.
    QCOMPARE(list.layout()->count(), count + 1);
    QVERIFY(list.layout()->itemAt(count)->spacerItem());
    QVERIFY(!list.currentItem());
}

void TestPagesList::accordion_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<int>("open");

    QTest::newRow("nothing clicked") << QList<int> {} << -1;
    QTest::newRow("open one") << QList<int> { 1 } << 1;
    QTest::newRow("opening another folds the first") << QList<int> { 0, 2 } << 2;
    QTest::newRow("closing the open one leaves none") << QList<int> { 0, 0 } << -1;
    QTest::newRow("back and forth") << QList<int> { 0, 2, 0 } << 0;
    QTest::newRow("reopen after closing") << QList<int> { 1, 1, 2 } << 2;
    QTest::newRow("close after switching") << QList<int> { 0, 1, 1 } << -1;
}

void TestPagesList::accordion()
{
    QFETCH(QList<int>, clicks);
    QFETCH(int, open);

    PagesList list;
    list.setPages(makePages(3));
    const QList<PageListItem *> items = list.items();
    for (int index : clicks) {
        QTest::mouseClick(items[index]->headerButton(), Qt::LeftButton);
        QVERIFY(openItem(list) >= -1);
    }
    QCOMPARE(openItem(list), open);
    QCOMPARE(list.currentItem(), open < 0 ? nullptr : items[open]);
}

void TestPagesList::accordionFoldsWithAnimation()
{
    // Inside a window, as on the editing window's tab: a top-level list
    // would follow its own minimum size, which the offscreen platform
    // cannot do.
    QWidget window;
    window.resize(240, 400);
    auto *pagesList = new PagesList(&window);
    PagesList &list = *pagesList;
    list.setPages(makePages(3));
    list.setGeometry(0, 0, 240, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QList<PageListItem *> items = list.items();

    QTest::mouseClick(items[0]->headerButton(), Qt::LeftButton);
    QCOMPARE(items[0]->wrapper()->animation()->state(), QAbstractAnimation::Running);
    QTRY_VERIFY(animationsDone(list));
    QCOMPARE(items[0]->wrapper()->expandPhase(), 1.0f);
    QTRY_COMPARE(items[0]->wrapper()->height(), items[0]->wrapper()->sizeHint().height());
    QVERIFY(items[0]->wrapper()->height() >= 60);

    QTest::mouseClick(items[2]->headerButton(), Qt::LeftButton);
    // Both move at once: one folds while the other unfolds.
    QCOMPARE(items[0]->wrapper()->animation()->state(), QAbstractAnimation::Running);
    QCOMPARE(items[2]->wrapper()->animation()->state(), QAbstractAnimation::Running);
    QTRY_VERIFY(animationsDone(list));
    QCOMPARE(items[0]->wrapper()->expandPhase(), 0.0f);
    QCOMPARE(items[2]->wrapper()->expandPhase(), 1.0f);
    QTRY_COMPARE(items[0]->wrapper()->height(), 0);
    // The headers stay in order, the open page below the third header.
    QVERIFY(items[0]->y() < items[1]->y());
    QVERIFY(items[1]->y() < items[2]->y());
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
    QList<QPointer<QWidget>> guards;
    for (QWidget *page : pages)
        guards << page;
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
    QCOMPARE(list.layout()->count(), 3);
    QTest::mouseClick(list.items().at(1)->headerButton(), Qt::LeftButton);
    QCOMPARE(openItem(list), 1);
}

QTEST_MAIN(TestPagesList)
#include "tst_pageslist.moc"
