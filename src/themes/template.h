#pragma once

#include <QByteArray>
#include <QObject>
#include <QPixmap>
#include <QSharedPointer>
#include <QString>

#include "model/pagesize.h"

class Document;
class Theme;

// A named look for one theme kind. Holds a preview document on which the
// look is shown: the user's own photos when the document it was made for
// has any, else five sample pictures.
class Template : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(PageSize currentPageSize READ currentPageSize WRITE setCurrentPageSize NOTIFY
            currentPageSizeChanged)

public:
    static const QString SampleImage;

    explicit Template(Document *document, QObject *parent = nullptr);
    ~Template() override;

    QString name() const { return m_name; }
    PageSize currentPageSize() const { return m_currentPageSize; }
    Document *previewDocument() const { return m_previewDocument.data(); }

    virtual Theme *createTheme(Document *document) = 0;
    virtual QByteArray templateId() const;

    // The look applied to the preview document, drawn into a transparent
    // pixmap of the given size.
    QPixmap renderPreview(const QSize &size);

public Q_SLOTS:
    void setName(const QString &name);
    void setCurrentPageSize(const PageSize &pageSize);

Q_SIGNALS:
    void nameChanged(const QString &name);
    void currentPageSizeChanged(const PageSize &pageSize);

private:
    QString m_name;
    PageSize m_currentPageSize;
    QSharedPointer<Document> m_previewDocument;
};
