#pragma once

#include <QList>
#include <QSharedPointer>

#include "themes/theme.h"

// A minimal theme for tests of the document and the theme framework: it
// records the images it was told about, in layout order.
class TestTheme : public Theme
{
    Q_OBJECT

public:
    static const QByteArray Id;

    explicit TestTheme(Document *document);
    ~TestTheme() override;

    SceneLayer *createSceneItem(QGraphicsItem *parent, QGraphicsScene *scene) override;
    void save(QDataStream &stream) const override;
    void load(QDataStream &stream) override;
    void imageInserted(int row, const QSharedPointer<ImageSource> &image) override;
    void imageRemoved(int row, const QSharedPointer<ImageSource> &image) override;

    QList<QSharedPointer<ImageSource>> images;
    static int liveCount;
};
