#pragma once

#include <QDial>

// A small dial for a direction in degrees (0 to 360, wrapping round),
// bound to an angle property of a document object.
class AngleDial : public QDial
{
    Q_OBJECT

public:
    explicit AngleDial(QWidget *parent = nullptr);

    // Keeps the dial and `property` of `properties` equal, the dial reading
    // `zeroAngle` where the property reads 0. The binding belongs to `owner`.
    void bindAngle(QObject *properties, const char *property, qreal zeroAngle, QObject *owner);
};
