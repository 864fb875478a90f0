#pragma once

#include <QObject>
#include <QString>

#include "model/documentpart.h"

// A sticker picture placed on the page. Owned by its document.
class StickerProperties : public QObject, public DocumentPart
{
    Q_OBJECT
    Q_PROPERTY(QString source READ source WRITE setSource NOTIFY sourceChanged)

public:
    explicit StickerProperties(Document *document);

    QString source() const { return m_source; }

public Q_SLOTS:
    void setSource(const QString &source);

Q_SIGNALS:
    void sourceChanged(const QString &source);

private:
    void assignSource(const QString &source);

    QString m_source;
};
