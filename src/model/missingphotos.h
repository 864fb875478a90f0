#pragma once

#include <QCoreApplication>
#include <QList>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

class ImageList;
class ImageSource;

// Photos of a collage whose files are gone (the collage was copied to
// another machine, or its photos were moved), and relinking them to files
// found in a folder the user points at.
class MissingPhotos
{
    Q_DECLARE_TR_FUNCTIONS(MissingPhotos)

public:
    // The photos whose files do not exist, in strip order.
    static QList<QSharedPointer<ImageSource>> find(const ImageList *images);

    // The file among `candidates` (all of the photo's file name) that most
    // likely is the photo last seen at `lastPath`: the only one; else the
    // one whose folders end like the old one's (".../2019/Rome/IMG_1.jpg"
    // before ".../2020/IMG_1.jpg"); else, when the best are copies of one
    // file (the same size), the first of them. Empty when the choice
    // would be a guess.
    static QString bestCandidate(const QString &lastPath, const QStringList &candidates);

    // Points every missing photo found in `folder` or below, by file name,
    // at its new file, in one undo step. Returns how many were relinked;
    // the others stay missing.
    static int relink(ImageList *images, const QString &folder);
};
