#include "testtheme.h"

#include <QDataStream>

const QByteArray TestTheme::Id = QByteArrayLiteral("com.quorvane.collage.theme.test");
int TestTheme::liveCount = 0;

TestTheme::TestTheme(Document *document)
    : Theme(document)
{
    ++liveCount;
    imageModelReset();
}

TestTheme::~TestTheme()
{
    --liveCount;
}

SceneLayer *TestTheme::createSceneItem(QGraphicsItem *, QGraphicsScene *)
{
    return nullptr;
}

void TestTheme::save(QDataStream &stream) const
{
    stream << qint32(images.size());
}

void TestTheme::load(QDataStream &stream)
{
    qint32 count = 0;
    stream >> count;
}

void TestTheme::imageInserted(int row, const QSharedPointer<ImageSource> &image)
{
    images.insert(row, image);
}

void TestTheme::imageRemoved(int row, const QSharedPointer<ImageSource> &)
{
    // A new theme is told to remove the rows of a filled list before it
    // has been told of any.
    if (row >= 0 && row < images.size())
        images.removeAt(row);
}
