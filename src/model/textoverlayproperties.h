#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPointF>
#include <QString>

#include "model/documentpart.h"
#include "model/opentypesettings.h"

// A block of free text placed on the page. Owned by its document. The
// position is in fractions of the page width and height; the font's point
// size counts points of 1/72 page unit. Every public setter is an undoable
// edit when the document has an undo stack; consecutive edits of one
// property merge into one step.
class TextOverlayProperties : public QObject, public DocumentPart
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(QFont font READ font WRITE setFont NOTIFY fontChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(QPointF position READ position WRITE setPosition NOTIFY positionChanged)
    Q_PROPERTY(qreal rotation READ rotation WRITE setRotation NOTIFY rotationChanged)
    Q_PROPERTY(qreal scale READ scale WRITE setScale NOTIFY scaleChanged)
    Q_PROPERTY(qreal opacity READ opacity WRITE setOpacity NOTIFY opacityChanged)
    Q_PROPERTY(int alignment READ alignment WRITE setAlignment NOTIFY alignmentChanged)

public:
    static constexpr qreal MinimumScale = 0.01;
    static constexpr qreal MaximumScale = 100.0;

    explicit TextOverlayProperties(Document *document);

    QString text() const { return m_text; }
    QFont font() const { return m_font; }
    QColor color() const { return m_color; }
    QPointF position() const { return m_position; }
    qreal rotation() const { return m_rotation; }
    qreal scale() const { return m_scale; }
    qreal opacity() const { return m_opacity; }
    int alignment() const { return m_alignment; }

    // Font settings this build reads and writes but cannot show; not an
    // edit of the user's, so not undoable.
    OpenTypeSettings openTypeSettings() const { return m_openTypeSettings; }
    void setOpenTypeSettings(const OpenTypeSettings &settings) { m_openTypeSettings = settings; }

public Q_SLOTS:
    void setText(const QString &text);
    void setFont(const QFont &font);
    void setColor(const QColor &color);
    void setPosition(const QPointF &position);
    void setRotation(qreal rotation);
    void setScale(qreal scale);
    void setOpacity(qreal opacity);
    void setAlignment(int alignment);

Q_SIGNALS:
    void textChanged(const QString &text);
    void fontChanged(const QFont &font);
    void colorChanged(const QColor &color);
    void positionChanged(const QPointF &position);
    void rotationChanged(qreal rotation);
    void scaleChanged(qreal scale);
    void opacityChanged(qreal opacity);
    void alignmentChanged(int alignment);

private:
    void assignText(const QString &text);
    void assignFont(const QFont &font);
    void assignColor(const QColor &color);
    void assignPosition(const QPointF &position);
    void assignRotation(double rotation);
    void assignScale(double scale);
    void assignOpacity(double opacity);
    void assignAlignment(int alignment);

    QString m_text;
    QFont m_font;
    QColor m_color = Qt::white;
    QPointF m_position { 0.5, 0.5 };
    qreal m_rotation = 0;
    qreal m_scale = 1.0;
    qreal m_opacity = 1.0;
    int m_alignment = Qt::AlignHCenter | Qt::AlignVCenter;
    OpenTypeSettings m_openTypeSettings;
};
