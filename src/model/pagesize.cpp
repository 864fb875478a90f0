#include "pagesize.h"

namespace {

double inchesPerUnit(int units)
{
    return units == PageSize::Centimeters ? 1.0 / 2.54 : 1.0;
}

struct UnitPatterns
{
    QString pixels = QStringLiteral("%1") + PageSize::tr("px");
    QString inches = QStringLiteral("%1\"");
    QString centimeters = QStringLiteral("%1") + PageSize::tr("cm");
};

} // namespace

PageSize::PageSize(int units, const QSizeF &size, const QString &name)
    : m_units(units)
    , m_size(size)
    , m_name(name)
{
}

bool PageSize::operator==(const PageSize &other) const
{
    return m_units == other.m_units && m_size == other.m_size && m_name == other.m_name;
}

QSizeF PageSize::pixelSize(double dpi) const
{
    switch (m_units) {
    case Inches:
        return m_size * dpi;
    case Centimeters:
        return m_size * (dpi / 2.54);
    default:
        return m_size;
    }
}

double PageSize::dpiForWidth(double pixels) const
{
    return pixels / (m_size.width() * inchesPerUnit(m_units));
}

double PageSize::dpiForHeight(double pixels) const
{
    return pixels / (m_size.height() * inchesPerUnit(m_units));
}

QString PageSize::formatValue(double value, int units)
{
    static const UnitPatterns patterns; // built once, after translators are installed
    const QString number = QString::number(value, 'g');
    switch (units) {
    case Pixels:
        return patterns.pixels.arg(number);
    case Inches:
        return patterns.inches.arg(number);
    case Centimeters:
        return patterns.centimeters.arg(number);
    default:
        return QString();
    }
}

QString PageSize::description() const
{
    if (m_units < 0)
        return QString();
    const QString width = formatValue(m_size.width(), m_units);
    if (QSizeF(m_size.width(), m_size.width()) == m_size)
        return tr("%1 Square").arg(width);
    return QStringLiteral("%1 x %2").arg(width, formatValue(m_size.height(), m_units));
}

QString PageSize::displayName() const
{
    return m_name.isEmpty() ? description() : m_name;
}
