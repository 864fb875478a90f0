#pragma once

#include <QGraphicsTransform>

// A graphics transform that others can follow: update() announces itself
// through updated() before the items that use it recompute their geometry.
class SharedTransform : public QGraphicsTransform
{
    Q_OBJECT

public:
    explicit SharedTransform(QObject *parent = nullptr);

public Q_SLOTS:
    void update();

Q_SIGNALS:
    void updated();
};
