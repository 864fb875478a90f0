#pragma once

#include <QCoreApplication>
#include <QMetaType>
#include <QSizeF>
#include <QString>

// The page of a collage: a size in pixels, inches or centimetres and an
// optional preset name. A value type; scripts read it through its `size`
// property (theme.document.pageSize.size.width).
class PageSize
{
    Q_GADGET
    Q_DECLARE_TR_FUNCTIONS(PageSize)
    Q_PROPERTY(QSizeF size READ size)
    Q_PROPERTY(int units READ units)
    Q_PROPERTY(QString name READ name)

public:
    enum Units { None = -1, Pixels = 0, Inches = 1, Centimeters = 2 };

    PageSize() = default;
    PageSize(int units, const QSizeF &size, const QString &name = QString());

    int units() const { return m_units; }
    void setUnits(int units) { m_units = units; }
    QSizeF size() const { return m_size; }
    void setSize(const QSizeF &size) { m_size = size; }
    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }

    bool operator==(const PageSize &other) const;
    bool operator!=(const PageSize &other) const { return !(*this == other); }

    QSizeF pixelSize(double dpi) const;
    double dpiForWidth(double pixels) const;
    double dpiForHeight(double pixels) const;

    static QString formatValue(double value, int units);
    QString description() const;
    QString displayName() const;

private:
    int m_units = None;
    QSizeF m_size;
    QString m_name;
};

Q_DECLARE_METATYPE(PageSize)
