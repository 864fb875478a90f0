#pragma once

#include <QCursor>
#include <QLineF>
#include <QPainterPath>

// The cursors of the editing handles, drawn from paths so that the rotate
// cursor can follow the pointer around the item's centre of rotation.
class EditCursors
{
public:
    // A horizontal arrow with a head at both ends, centred on the origin.
    static QPainterPath doubleArrow();
    // The double arrow united with itself turned by 90 degrees.
    static QPainterPath moveShape();
    // A short curved double arrow around the start of `line`, crossing the
    // line at its length (clamped to [16, 32]); centred on that crossing.
    static QPainterPath rotateShape(const QLineF &line);
    // The rotate shape united with the double arrow pointing along `line`.
    static QPainterPath rotateScaleShape(const QLineF &line);

    // Paints the path white with a black outline on a transparent pixmap
    // one pixel larger on each side; the hot spot is in the middle.
    static QCursor cursorFromShape(const QPainterPath &path);

    static QCursor moveCursor();
    static QCursor rotateCursor(const QLineF &line);
    static QCursor rotateScaleCursor(const QLineF &line);
};
