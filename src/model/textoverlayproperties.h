#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include "model/opentypesettings.h"
#include "model/placedproperties.h"

// A block of free text placed on the page. The font's point size counts
// points of 1/72 page unit.
class TextOverlayProperties : public PlacedProperties
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(QFont font READ font WRITE setFont NOTIFY fontChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(int alignment READ alignment WRITE setAlignment NOTIFY alignmentChanged)

public:
    explicit TextOverlayProperties(Document *document);

    QString text() const { return m_text; }
    QFont font() const { return m_font; }
    QColor color() const { return m_color; }
    int alignment() const { return m_alignment; }

    // Font settings this build reads and writes but cannot show; not an
    // edit of the user's, so not undoable.
    OpenTypeSettings openTypeSettings() const { return m_openTypeSettings; }
    void setOpenTypeSettings(const OpenTypeSettings &settings) { m_openTypeSettings = settings; }

public Q_SLOTS:
    void setText(const QString &text);
    void setFont(const QFont &font);
    void setColor(const QColor &color);
    void setAlignment(int alignment);

Q_SIGNALS:
    void textChanged(const QString &text);
    void fontChanged(const QFont &font);
    void colorChanged(const QColor &color);
    void alignmentChanged(int alignment);

private:
    QString m_text;
    QFont m_font;
    QColor m_color = Qt::white;
    int m_alignment = Qt::AlignHCenter | Qt::AlignVCenter;
    OpenTypeSettings m_openTypeSettings;
};
