#include "sharedtransform.h"

SharedTransform::SharedTransform(QObject *parent)
    : QGraphicsTransform(parent)
{
}

void SharedTransform::update()
{
    Q_EMIT updated();
    QGraphicsTransform::update();
}
