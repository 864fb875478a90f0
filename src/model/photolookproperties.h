#pragma once

#include <QObject>

#include "model/documentpart.h"

// How a photo of either theme is drawn: its colour filter and its mask, by
// the codes of ImageFilters and PhotoMasks. Unknown codes are kept and
// drawn as none. Both setters are undoable and record every call, even of
// the current value: picking the current entry of a menu again is a step
// that merges with a change of the same kind directly before it.
class PhotoLookProperties : public QObject, public DocumentPart
{
    Q_OBJECT
    Q_PROPERTY(int filterType READ filterType WRITE setFilterType NOTIFY filterTypeChanged)
    Q_PROPERTY(int maskShape READ maskShape WRITE setMaskShape NOTIFY maskShapeChanged)

public:
    int filterType() const { return m_filterType; }
    int maskShape() const { return m_maskShape; }

public Q_SLOTS:
    void setFilterType(int filterType);
    void setMaskShape(int maskShape);

Q_SIGNALS:
    void filterTypeChanged(int filterType);
    void maskShapeChanged(int maskShape);

protected:
    explicit PhotoLookProperties(Document *document, QObject *parent = nullptr);

private:
    int m_filterType = 0;
    int m_maskShape = 0;
};
