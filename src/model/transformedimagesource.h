#pragma once

#include <QObject>
#include <QSharedPointer>
#include <QTransform>

#include "model/documentpart.h"

class ImageSource;

// A photo paired with its crop: the transform that places the picture
// inside a layout cell. Cells of the grid themes hold one each. Its shared
// pointer type is registered as a meta-type (convertible to QObject*) when
// the first one is made.
class TransformedImageSource : public QObject, public DocumentPart
{
    Q_OBJECT
    Q_PROPERTY(QTransform transform READ transform WRITE setTransform NOTIFY transformChanged)

public:
    TransformedImageSource(
        const QSharedPointer<ImageSource> &source, Document *document, QObject *parent = nullptr);
    ~TransformedImageSource() override;

    QSharedPointer<ImageSource> source() const { return m_source; }
    QTransform transform() const { return m_transform; }

    void setSource(const QSharedPointer<ImageSource> &source);

public Q_SLOTS:
    void setTransform(const QTransform &transform);

Q_SIGNALS:
    void transformChanged(const QTransform &arg);
    void imageChanged();

private:
    void assignSource(const QSharedPointer<ImageSource> &source);

    QSharedPointer<ImageSource> m_source;
    QTransform m_transform;
};
