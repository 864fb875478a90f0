#include "pagesetupdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

#include "model/binding.h"
#include "ui/buttongroup.h"
#include "ui/makenamed.h"

namespace {

constexpr int Portrait = 0;
constexpr int Landscape = 1;
// Both sides share one range, so that turning a wide page upright keeps
// its size.
constexpr double MinimumSide = 0.01;
constexpr double MaximumSide = 100000;
const int UnitDecimals[] = { 0, 2, 2 };

bool validUnit(int units)
{
    return units >= PageSize::Pixels && units <= PageSize::Centimeters;
}

// How many of unit `to` make one of unit `from`, at dpi pixels per inch.
double conversionFactor(int from, int to, double dpi)
{
    const double inchesPerUnit[] = { 1.0 / dpi, 1.0, 1.0 / 2.54 };
    return inchesPerUnit[from] / inchesPerUnit[to];
}

// 3.6 inches at 300 dpi come back as 1079.9999999999998 pixels; a pixel
// count that close to a whole number is that number.
double cleanPixels(double pixels)
{
    const double whole = std::round(pixels);
    return std::abs(pixels - whole) < 1e-6 ? whole : pixels;
}

int orientationOf(const QSizeF &size)
{
    return size.height() > size.width() ? Portrait : Landscape;
}

} // namespace

PageSetupDialog::PageSetupDialog(PageSize pageSize, QWidget *parent)
    : QDialog(parent)
    , m_unitNames { tr("Pixels"), tr("Inches"), tr("Centimeters") }
    , m_unitSuffixes { tr(" px"), tr(" in"), tr(" cm") }
    , m_pageSize(pageSize)
{
    if (!validUnit(m_pageSize.units()))
        m_pageSize = PageSize(PageSize::Pixels, QSizeF(1080, 1080));
    m_pageSize.setName(QString());
    m_orientation = orientationOf(m_pageSize.size());
    createWidgets();
    refreshName();
}

PageSetupDialog::~PageSetupDialog() = default;

void PageSetupDialog::createWidgets()
{
    setWindowTitle(tr("Page setup"));
    resize(284, 327);
    auto *form = new QFormLayout;

    m_unitsCombo = makeNamed<QComboBox>("unitsCombo", this);
    m_unitsCombo->addItems(m_unitNames);
    m_widthEdit = makeNamed<QDoubleSpinBox>("widthEdit", this);
    m_heightEdit = makeNamed<QDoubleSpinBox>("heightEdit", this);
    for (QDoubleSpinBox *edit : { m_widthEdit, m_heightEdit }) {
        edit->setRange(MinimumSide, MaximumSide);
        edit->setKeyboardTracking(false);
    }
    applyUnitFormat(m_pageSize.units());
    m_dpiBox = makeNamed<QSpinBox>("dpiBox", this);
    m_dpiBox->setRange(72, 600);
    m_dpiBox->setSuffix(tr(" dpi"));

    m_portraitButton = makeNamed<QRadioButton>("portraitButton", tr("Portrait"), this);
    m_landscapeButton = makeNamed<QRadioButton>("landscapeButton", tr("Landscape"), this);
    m_orientationGroup = new ButtonGroup(this);
    m_orientationGroup->addButton(m_portraitButton, Portrait);
    m_orientationGroup->addButton(m_landscapeButton, Landscape);

    m_saveCheckBox = makeNamed<QCheckBox>("saveCheckBox", tr("Save for quick access"), this);
    m_nameEdit = makeNamed<QLineEdit>("nameEdit", this);
    m_nameEdit->setEnabled(false);
    connect(m_saveCheckBox, &QCheckBox::toggled, m_nameEdit, &QWidget::setEnabled);
    connect(m_nameEdit, &QLineEdit::textEdited, this, &PageSetupDialog::on_nameEdit_textEdited);

    auto addRow = [this, form](const char *objectName, const QString &text, QWidget *field) {
        auto *label = new QLabel(text, this);
        label->setObjectName(QLatin1String(objectName));
        label->setBuddy(field);
        form->addRow(label, field);
    };
    addRow("label_3", tr("Units:"), m_unitsCombo);
    addRow("label", tr("Width:"), m_widthEdit);
    addRow("label_2", tr("Height:"), m_heightEdit);
    addRow("label_6", tr("Resolution:"), m_dpiBox);
    addRow("label_4", tr("Orientation:"), m_portraitButton);
    form->addRow(QString(), m_landscapeButton);
    form->addRow(m_saveCheckBox);
    addRow("label_5", tr("Preset name:"), m_nameEdit);

    auto *buttonBox = makeNamed<QDialogButtonBox>(
        "buttonBox", QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addWidget(buttonBox);

    new Binding(this, "units", m_unitsCombo, "currentIndex", this);
    new Binding(this, "dpi", m_dpiBox, "value", this);
    new Binding(this, "pageWidth", m_widthEdit, "value", this);
    new Binding(this, "pageHeight", m_heightEdit, "value", this);
    new Binding(this, "pageOrientation", m_orientationGroup, "currentId", this);
}

bool PageSetupDialog::saveForQuickAccess() const
{
    return m_saveCheckBox->isChecked();
}

void PageSetupDialog::applyUnitFormat(int units)
{
    // Changing the decimals rounds the shown value; that rounding must not
    // be taken for an edit of the page.
    for (QDoubleSpinBox *edit : { m_widthEdit, m_heightEdit }) {
        const QSignalBlocker blocker(edit);
        edit->setDecimals(UnitDecimals[units]);
        edit->setSuffix(m_unitSuffixes.at(units));
    }
}

void PageSetupDialog::setUnits(int units)
{
    if (units == m_pageSize.units() || !validUnit(units))
        return;
    applyUnitFormat(units);
    const double factor = conversionFactor(m_pageSize.units(), units, m_dpi);
    QSizeF converted = m_pageSize.size() * factor;
    if (units == PageSize::Pixels)
        converted = QSizeF(cleanPixels(converted.width()), cleanPixels(converted.height()));
    m_pageSize.setUnits(units);
    // The numbers change meaning with the unit, so they are shown anew
    // even when the conversion keeps them.
    const QSizeF old = m_pageSize.size();
    setPageSize(converted);
    if (old == m_pageSize.size()) {
        Q_EMIT pageWidthChanged(old.width());
        Q_EMIT pageHeightChanged(old.height());
    }
    Q_EMIT unitsChanged(units);
    refreshName();
}

void PageSetupDialog::setPageSize(const QSizeF &size)
{
    const QSizeF old = m_pageSize.size();
    const bool widthChanged = !qFuzzyCompare(size.width(), old.width());
    const bool heightChanged = !qFuzzyCompare(size.height(), old.height());
    if (!widthChanged && !heightChanged)
        return;
    m_pageSize.setSize(size);
    Q_EMIT pageSizeSizeChanged(size);
    if (widthChanged)
        Q_EMIT pageWidthChanged(size.width());
    if (heightChanged)
        Q_EMIT pageHeightChanged(size.height());
    if (!qFuzzyCompare(size.width(), size.height())) {
        const int orientation = orientationOf(size);
        if (orientation != m_orientation) {
            m_orientation = orientation;
            Q_EMIT pageOrienationChanged(orientation);
        }
    }
    refreshName();
}

void PageSetupDialog::setPageWidth(double width)
{
    setPageSize(QSizeF(width, m_pageSize.size().height()));
}

void PageSetupDialog::setPageHeight(double height)
{
    setPageSize(QSizeF(m_pageSize.size().width(), height));
}

void PageSetupDialog::setDpi(int dpi)
{
    if (dpi == m_dpi)
        return;
    m_dpi = dpi;
    Q_EMIT dpiChanged(dpi);
}

void PageSetupDialog::setPageOrientation(int orientation)
{
    if (orientation == m_orientation || (orientation != Portrait && orientation != Landscape))
        return;
    m_orientation = orientation;
    Q_EMIT pageOrienationChanged(orientation);
    const QSizeF size = m_pageSize.size();
    const double shorter = qMin(size.width(), size.height());
    const double longer = qMax(size.width(), size.height());
    setPageSize(orientation == Portrait ? QSizeF(shorter, longer) : QSizeF(longer, shorter));
    refreshName();
}

void PageSetupDialog::on_nameEdit_textEdited(const QString &text)
{
    m_pageSize.setName(text);
}

void PageSetupDialog::refreshName()
{
    if (m_nameEdit && !m_nameEdit->isModified())
        m_nameEdit->setText(m_pageSize.description());
}
