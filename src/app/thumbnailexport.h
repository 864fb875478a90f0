#pragma once

#include <QCoreApplication>
#include <QString>

// `tesselo --thumbnail IN.tsq OUT.png --size N`: a small picture of a saved
// collage for file managers. Photos are decoded at the small size only;
// missing photos leave their places empty, as in the editor.
class ThumbnailExport
{
    Q_DECLARE_TR_FUNCTIONS(ThumbnailExport)

public:
    static bool write(const QString &document, const QString &output, int size, QString *error);
};
