#pragma once

#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>

#include "app/exportoptions.h"

class Document;
class ImageList;
class QTextStream;
class Template;

// Makes a collage without a window: a document without undo stack, a
// template, the photos read through the image cache, the page rendered
// from the files at exact scale and written in one go.
class CommandLineExport
{
public:
    CommandLineExport(const ExportOptions &options, QTextStream &out, QTextStream &err);

    // Returns the process exit code; every failure is one line on `err`.
    int run();

    static QStringList templateLines();

private:
    int exportCollage();
    std::unique_ptr<Document> makeCollage(QString *error);
    std::unique_ptr<Document> openCollage(QString *error);
    int renderCollage(Document *document);
    QByteArray outputFormat() const;
    QList<QUrl> readablePhotos();
    void reportDropped(const QList<QUrl> &requested, const ImageList *images);
    QSharedPointer<Template> findTemplate(Document *document, QString *error) const;
    int fail(const QString &message);

    ExportOptions m_options;
    QTextStream &m_out;
    QTextStream &m_err;
};
