#pragma once

#include <QMap>
#include <QtGlobal>

// The OpenType feature values and variation-axis positions that fonts of
// later Qt releases carry and write into collage files. This build cannot
// apply them; a text overlay keeps them beside its font so that a document
// made by such a program keeps them through a save.
//
// A tag is its four ASCII letters packed big-endian ("liga" is 0x6c696761),
// as OpenType and the file name them.
struct OpenTypeSettings
{
    QMap<quint32, quint32> features;
    QMap<quint32, float> axes;

    bool isEmpty() const { return features.isEmpty() && axes.isEmpty(); }

    friend bool operator==(const OpenTypeSettings &a, const OpenTypeSettings &b)
    {
        return a.features == b.features && a.axes == b.axes;
    }
    friend bool operator!=(const OpenTypeSettings &a, const OpenTypeSettings &b)
    {
        return !(a == b);
    }
};
