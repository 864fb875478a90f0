#pragma once

#include <QDialog>
#include <QSize>

#include "model/pagesize.h"
#include "scene/pageexport.h"

class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSlider;
class QSpinBox;

// Asks how to export a page: format, size in pixels (linked to the
// resolution of physical pages or to a scale of pixel pages), quality and
// watermark. Remembers the preferred formats, the quality and the
// watermark text when accepted.
class ExportDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr double DefaultDpi = 300.0;
    static constexpr int MaximumSide = 100000;

    explicit ExportDialog(PageSize pageSize, QWidget *parent = nullptr);
    ~ExportDialog() override;

    QString format() const;
    QSize imageSize() const { return m_imageSize; }
    // Dots per inch in physical mode, the scale factor in pixel mode.
    double resolution() const { return m_resolution; }
    bool isPhysical() const { return m_physical; }
    int quality() const;
    bool watermarkEnabled() const;
    QString watermarkText() const;
    int watermarkPosition() const;
    int watermarkOpacity() const;
    // Everything above as the export path takes it.
    ExportSettings settings() const;

private Q_SLOTS:
    void on_widthEdit_textEdited(const QString &text);
    void on_heightEdit_textEdited(const QString &text);
    void on_dpiLineEdit_textEdited(const QString &text);
    void saveFormatPreferenceList();
    void _formatChanged();

private:
    void buildWidgets();
    void selectPreferredFormat();
    void refreshFields();
    void setPixelSizeRounded(const QSizeF &size);

    PageSize m_pageSize;
    bool m_physical = false;
    double m_resolution = 1.0;
    QSize m_imageSize;

    QComboBox *m_formatComboBox = nullptr;
    QLabel *m_qualityLabel = nullptr;
    QSpinBox *m_qualitySpinBox = nullptr;
    QLineEdit *m_widthEdit = nullptr;
    QLineEdit *m_heightEdit = nullptr;
    QLabel *m_resolutionLabel = nullptr;
    QLineEdit *m_dpiLineEdit = nullptr;
    QLabel *m_dpiLabel = nullptr;
    QGroupBox *m_watermarkGroup = nullptr;
    QLineEdit *m_watermarkTextEdit = nullptr;
    QComboBox *m_watermarkPosCombo = nullptr;
    QSlider *m_watermarkOpacitySlider = nullptr;
    QLabel *m_watermarkOpacityValueLabel = nullptr;
    QDialogButtonBox *m_buttonBox = nullptr;
};
