#include "exportdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageWriter>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

#include "app/settingskeys.h"
#include "ui/makenamed.h"

namespace {

constexpr int EditWidth = 80;
constexpr int MinimumOpacity = 5;
constexpr int InitialOpacity = 30;
// The largest resolution or scale in percent the field takes; beyond it
// every page is far over the size limit anyway.
constexpr double MaximumResolution = 1e6;

QLabel *addLabel(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    return label;
}

QLineEdit *addNumberEdit(const QString &objectName, QValidator *validator, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setMaximumWidth(EditWidth);
    edit->setValidator(validator);
    return edit;
}

QHBoxLayout *row(QWidget *field, QWidget *unit)
{
    auto *layout = new QHBoxLayout;
    layout->addWidget(field);
    layout->addWidget(unit);
    layout->addStretch();
    return layout;
}

} // namespace

ExportDialog::ExportDialog(PageSize pageSize, QWidget *parent)
    : QDialog(parent)
    , m_pageSize(pageSize)
    , m_physical(pageSize.units() == PageSize::Inches || pageSize.units() == PageSize::Centimeters)
{
    setWindowTitle(tr("Export..."));
    resize(320, 380);
    if (m_physical) {
        m_resolution = DefaultDpi;
        setPixelSizeRounded(m_pageSize.pixelSize(m_resolution));
    } else {
        m_resolution = 1.0;
        setPixelSizeRounded(m_pageSize.size());
    }
    buildWidgets();
    selectPreferredFormat();
    refreshFields();
    QMetaObject::connectSlotsByName(this);
    connect(this, &QDialog::accepted, this, &ExportDialog::saveFormatPreferenceList);
}

ExportDialog::~ExportDialog() = default;

void ExportDialog::buildWidgets()
{
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    layout->addLayout(form);

    m_formatComboBox = makeNamed<QComboBox>("formatComboBox", this);
    for (const QByteArray &format : PageExport::formats())
        m_formatComboBox->addItem(QString::fromLatin1(format));
    form->addRow(addLabel(QStringLiteral("label"), tr("Format:"), this), m_formatComboBox);

    m_qualitySpinBox = makeNamed<QSpinBox>("qualitySpinBox", this);
    m_qualitySpinBox->setRange(1, 100);
    m_qualitySpinBox->setMaximumWidth(EditWidth);
    m_qualitySpinBox->setValue(qBound(1,
        QSettings().value(SettingsKeys::ExportQuality, ExportSettings::DefaultQuality).toInt(),
        100));
    m_qualityLabel = addLabel(QStringLiteral("qualityLabel"), tr("Quality:"), this);
    form->addRow(m_qualityLabel, m_qualitySpinBox);
    connect(m_formatComboBox, &QComboBox::currentIndexChanged, this, &ExportDialog::_formatChanged);

    auto *sideValidator = new QIntValidator(0, MaximumSide, this);
    m_widthEdit = addNumberEdit(QStringLiteral("widthEdit"), sideValidator, this);
    form->addRow(addLabel(QStringLiteral("label_7"), tr("Width:"), this),
        row(m_widthEdit, addLabel(QStringLiteral("label_5"), tr("px"), this)));
    m_heightEdit = addNumberEdit(QStringLiteral("heightEdit"), sideValidator, this);
    form->addRow(addLabel(QStringLiteral("label_8"), tr("Height:"), this),
        row(m_heightEdit, addLabel(QStringLiteral("label_6"), tr("px"), this)));

    auto *resolutionValidator = new QDoubleValidator(0, MaximumResolution, 6, this);
    resolutionValidator->setNotation(QDoubleValidator::StandardNotation);
    resolutionValidator->setLocale(QLocale::c());
    m_dpiLineEdit = addNumberEdit(QStringLiteral("dpiLineEdit"), resolutionValidator, this);
    m_resolutionLabel = addLabel(
        QStringLiteral("resolutionLabel"), m_physical ? tr("Resolution:") : tr("Scale:"), this);
    m_dpiLabel = addLabel(QStringLiteral("dpiLabel"), m_physical ? tr("DPI") : tr("%"), this);
    form->addRow(m_resolutionLabel, row(m_dpiLineEdit, m_dpiLabel));

    m_watermarkGroup = makeNamed<QGroupBox>("watermarkGroup", tr("Watermark"), this);
    m_watermarkGroup->setCheckable(true);
    m_watermarkGroup->setChecked(false);
    auto *watermarkForm = new QFormLayout(m_watermarkGroup);
    m_watermarkTextEdit = makeNamed<QLineEdit>("watermarkTextEdit", m_watermarkGroup);
    m_watermarkTextEdit->setPlaceholderText(tr("© Your Name"));
    m_watermarkTextEdit->setText(QSettings().value(SettingsKeys::WatermarkText).toString());
    watermarkForm->addRow(
        addLabel(QStringLiteral("watermarkTextLabel"), tr("Text:"), m_watermarkGroup),
        m_watermarkTextEdit);
    m_watermarkPosCombo = makeNamed<QComboBox>("watermarkPosCombo", m_watermarkGroup);
    m_watermarkPosCombo->addItem(tr("Center"), int(WatermarkCenter));
    m_watermarkPosCombo->addItem(tr("Bottom Right"), int(WatermarkBottomRight));
    m_watermarkPosCombo->addItem(tr("Bottom Left"), int(WatermarkBottomLeft));
    m_watermarkPosCombo->addItem(tr("Top Right"), int(WatermarkTopRight));
    m_watermarkPosCombo->addItem(tr("Top Left"), int(WatermarkTopLeft));
    m_watermarkPosCombo->setCurrentIndex(1);
    watermarkForm->addRow(
        addLabel(QStringLiteral("watermarkPosLabel"), tr("Position:"), m_watermarkGroup),
        m_watermarkPosCombo);
    m_watermarkOpacitySlider
        = makeNamed<QSlider>("watermarkOpacitySlider", Qt::Horizontal, m_watermarkGroup);
    m_watermarkOpacitySlider->setRange(MinimumOpacity, 100);
    m_watermarkOpacitySlider->setValue(InitialOpacity);
    m_watermarkOpacityValueLabel = addLabel(QStringLiteral("watermarkOpacityValueLabel"),
        tr("%1%").arg(InitialOpacity), m_watermarkGroup);
    m_watermarkOpacityValueLabel->setMinimumWidth(35);
    connect(m_watermarkOpacitySlider, &QSlider::valueChanged, this,
        [this](int value) { m_watermarkOpacityValueLabel->setText(tr("%1%").arg(value)); });
    watermarkForm->addRow(
        addLabel(QStringLiteral("watermarkOpacityLabel"), tr("Opacity:"), m_watermarkGroup),
        row(m_watermarkOpacitySlider, m_watermarkOpacityValueLabel));
    layout->addWidget(m_watermarkGroup);
    layout->addStretch();

    // Fields in a row with their unit get their label as buddy by hand, so
    // that Alt shortcuts and screen readers find them.
    const std::pair<const char *, QWidget *> buddies[] = {
        { "label_7", m_widthEdit },
        { "label_8", m_heightEdit },
        { "resolutionLabel", m_dpiLineEdit },
        { "watermarkOpacityLabel", m_watermarkOpacitySlider },
    };
    for (const auto &[label, field] : buddies) {
        if (auto *found = findChild<QLabel *>(QLatin1String(label))) {
            found->setBuddy(field);
            field->setAccessibleName(found->text().remove(QLatin1Char(':')));
        }
    }

    m_buttonBox = makeNamed<QDialogButtonBox>(
        "buttonBox", QDialogButtonBox::Save | QDialogButtonBox::Close, this);
    connect(m_buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(m_buttonBox);
}

void ExportDialog::selectPreferredFormat()
{
    const QStringList preferred
        = QSettings()
              .value(SettingsKeys::PreferredExportFormats,
                  QStringList { QStringLiteral("png"), QStringLiteral("jpg") })
              .toStringList();
    for (const QString &name : preferred) {
        const int index
            = m_formatComboBox->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0) {
            m_formatComboBox->setCurrentIndex(index);
            break;
        }
    }
    _formatChanged();
}

void ExportDialog::_formatChanged()
{
    const bool hasQuality = PageExport::formatHasQuality(format().toLatin1());
    m_qualitySpinBox->setEnabled(hasQuality);
    m_qualityLabel->setEnabled(hasQuality);
}

QString ExportDialog::format() const
{
    return m_formatComboBox->currentText();
}

int ExportDialog::quality() const
{
    return m_qualitySpinBox->value();
}

bool ExportDialog::watermarkEnabled() const
{
    return m_watermarkGroup->isChecked();
}

QString ExportDialog::watermarkText() const
{
    return m_watermarkTextEdit->text();
}

int ExportDialog::watermarkPosition() const
{
    return m_watermarkPosCombo->currentData().toInt();
}

int ExportDialog::watermarkOpacity() const
{
    return m_watermarkOpacitySlider->value();
}

ExportSettings ExportDialog::settings() const
{
    ExportSettings settings;
    settings.format = format().toLatin1();
    settings.size = m_imageSize;
    if (m_physical) {
        // The resolution the pixels really have across and down.
        const QSizeF inches = m_pageSize.pixelSize(1.0);
        if (!inches.isEmpty())
            settings.resolution = QSizeF(
                m_imageSize.width() / inches.width(), m_imageSize.height() / inches.height());
    }
    settings.quality = quality();
    if (watermarkEnabled())
        settings.watermark = watermarkText();
    settings.watermarkPosition = watermarkPosition();
    settings.watermarkOpacity = watermarkOpacity();
    return settings;
}

void ExportDialog::setPixelSizeRounded(const QSizeF &size)
{
    m_imageSize = QSize(int(std::lround(size.width())), int(std::lround(size.height())));
}

void ExportDialog::on_widthEdit_textEdited(const QString &text)
{
    const int width = text.toInt();
    if (m_physical) {
        m_resolution = m_pageSize.dpiForWidth(width);
        m_imageSize = QSize(width, int(m_pageSize.pixelSize(m_resolution).height()));
    } else {
        m_resolution = width / m_pageSize.size().width();
        m_imageSize = QSize(width, int(m_pageSize.size().height() * m_resolution));
    }
    refreshFields();
}

void ExportDialog::on_heightEdit_textEdited(const QString &text)
{
    const int height = text.toInt();
    if (m_physical) {
        m_resolution = m_pageSize.dpiForHeight(height);
        m_imageSize = QSize(int(m_pageSize.pixelSize(m_resolution).width()), height);
    } else {
        m_resolution = height / m_pageSize.size().height();
        m_imageSize = QSize(int(m_pageSize.size().width() * m_resolution), height);
    }
    refreshFields();
}

void ExportDialog::on_dpiLineEdit_textEdited(const QString &text)
{
    const double value = QLocale::c().toDouble(text);
    if (m_physical) {
        m_resolution = value;
        setPixelSizeRounded(m_pageSize.pixelSize(m_resolution));
    } else {
        m_resolution = value / 100;
        setPixelSizeRounded(m_pageSize.size() * m_resolution);
    }
    refreshFields();
}

void ExportDialog::refreshFields()
{
    // The field being typed in is never rewritten under the cursor.
    if (!m_widthEdit->hasFocus())
        m_widthEdit->setText(QString::number(m_imageSize.width()));
    if (!m_heightEdit->hasFocus())
        m_heightEdit->setText(QString::number(m_imageSize.height()));
    if (!m_dpiLineEdit->hasFocus())
        m_dpiLineEdit->setText(
            QString::number(m_physical ? m_resolution : m_resolution * 100, 'g', 6));
    // An empty or zero field gives no picture; Save waits for a real size.
    const bool valid = !m_imageSize.isEmpty() && m_imageSize.width() <= MaximumSide
        && m_imageSize.height() <= MaximumSide;
    m_buttonBox->button(QDialogButtonBox::Save)->setEnabled(valid);
}

void ExportDialog::saveFormatPreferenceList()
{
    QSettings settings;
    const QString chosen = format();
    QStringList formats = settings
                              .value(SettingsKeys::PreferredExportFormats,
                                  QStringList { QStringLiteral("png"), QStringLiteral("jpg") })
                              .toStringList();
    if (formats.isEmpty() || formats.first() != chosen) {
        formats.removeAll(chosen);
        formats.prepend(chosen);
        settings.setValue(SettingsKeys::PreferredExportFormats, formats);
    }
    if (watermarkEnabled() && !watermarkText().isEmpty())
        settings.setValue(SettingsKeys::WatermarkText, watermarkText());
    settings.setValue(SettingsKeys::ExportQuality, quality());
}
