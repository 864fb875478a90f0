#pragma once

#include <QDialog>
#include <QSizeF>
#include <QStringList>

#include "model/pagesize.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class ButtonGroup;

// Edits one page size: its unit (converted through a resolution), width,
// height and orientation, and a name under which it may be kept.
class PageSetupDialog : public QDialog
{
    Q_OBJECT
    Q_PROPERTY(int units READ units WRITE setUnits NOTIFY unitsChanged)
    Q_PROPERTY(int dpi READ dpi WRITE setDpi NOTIFY dpiChanged)
    Q_PROPERTY(double pageWidth READ pageWidth WRITE setPageWidth NOTIFY pageWidthChanged)
    Q_PROPERTY(double pageHeight READ pageHeight WRITE setPageHeight NOTIFY pageHeightChanged)
    Q_PROPERTY(int pageOrientation READ pageOrientation WRITE setPageOrientation NOTIFY
            pageOrienationChanged)
    Q_PROPERTY(QSizeF pageSize READ pageSize WRITE setPageSize NOTIFY pageSizeSizeChanged)

public:
    PageSetupDialog(PageSize pageSize, QWidget *parent = nullptr);
    ~PageSetupDialog() override;

    int units() const { return m_pageSize.units(); }
    int dpi() const { return m_dpi; }
    double pageWidth() const { return m_pageSize.size().width(); }
    double pageHeight() const { return m_pageSize.size().height(); }
    int pageOrientation() const { return m_orientation; }
    QSizeF pageSize() const { return m_pageSize.size(); }

    // The edited page: unit, size and the name the user typed (empty when
    // none was typed). This is the dialog's result.
    PageSize editedPageSize() const { return m_pageSize; }
    // Whether "Save for quick access" is checked.
    bool saveForQuickAccess() const;

public Q_SLOTS:
    void setUnits(int units);
    void setPageSize(const QSizeF &size);
    void setPageWidth(double width);
    void setPageHeight(double height);
    void setDpi(int dpi);
    void setPageOrientation(int orientation);
    void on_nameEdit_textEdited(const QString &text);

Q_SIGNALS:
    void unitsChanged(int units);
    void pageSizeSizeChanged(const QSizeF &size);
    void pageWidthChanged(double width);
    void pageHeightChanged(double height);
    void dpiChanged(int dpi);
    void pageOrienationChanged(int orientation);

private:
    void createWidgets();
    void applyUnitFormat(int units);
    void refreshName();

    const QStringList m_unitNames;
    const QStringList m_unitSuffixes;
    PageSize m_pageSize;
    int m_orientation = 1;
    int m_dpi = 300;

    QComboBox *m_unitsCombo = nullptr;
    QDoubleSpinBox *m_widthEdit = nullptr;
    QDoubleSpinBox *m_heightEdit = nullptr;
    QSpinBox *m_dpiBox = nullptr;
    QRadioButton *m_portraitButton = nullptr;
    QRadioButton *m_landscapeButton = nullptr;
    ButtonGroup *m_orientationGroup = nullptr;
    QCheckBox *m_saveCheckBox = nullptr;
    QLineEdit *m_nameEdit = nullptr;
};
