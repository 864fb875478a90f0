#include "templatesdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "model/document.h"
#include "model/imagelist.h"
#include "model/pagesizepresets.h"
#include "themes/template.h"
#include "ui/makenamed.h"
#include "ui/pagesetupdialog.h"
#include "ui/pagesizemodel.h"
#include "ui/templatesmodel.h"

namespace {

constexpr int Portrait = 0;
constexpr int Landscape = 1;
constexpr int MinimumIconSize = 128;
constexpr int MaximumIconSize = 512;
// Room below and beside an icon for its name.
constexpr int GridExtraWidth = 28;
constexpr int GridExtraHeight = 42;
constexpr int InitialColumns = 3;
constexpr int PreviewStartDelay = 50;

int orientationOf(const QSizeF &size)
{
    return size.height() > size.width() ? Portrait : Landscape;
}

// Through QIcon, which picks the @2x file on a HiDPI screen.
QPixmap artwork(const QString &name, qreal devicePixelRatio)
{
    return QIcon(name).pixmap(QSize(16, 16), devicePixelRatio);
}

bool isSquare(const PageSize &pageSize)
{
    return pageSize.size().width() == pageSize.size().height();
}

} // namespace

TemplatesDialog::TemplatesDialog(QWidget *parent, Document *document)
    : QDialog(parent)
    , m_document(document)
{
    m_pageSizeModel = new PageSizeModel(this);
    createWidgets();
    if (!m_document) {
        m_sampleDocument.reset(new Document(false));
        const QList<QUrl> samples(5, QUrl::fromLocalFile(Template::SampleImage));
        m_sampleDocument->imageList()->insertUrls(0, samples, false);
        m_sampleDocument->setPageSize(PageSizePresets::builtIn().constFirst());
        m_document = m_sampleDocument.data();
    }
    m_templatesModel = new TemplatesModel(m_document, this);
    m_pageSizeComboBox->setModel(m_pageSizeModel);
    connect(m_templatesModel, &TemplatesModel::previewProgress, this,
        &TemplatesDialog::previewProgress);
    const PageSize pageSize = m_document->pageSize();
    setCurrentPageSize(
        pageSize.units() == PageSize::None ? PageSizePresets::builtIn().constFirst() : pageSize);
    configureListView();
}

TemplatesDialog::~TemplatesDialog()
{
    // The templates hold previews of the sample document's pictures; they
    // go first.
    delete m_templatesModel;
}

void TemplatesDialog::createWidgets()
{
    setWindowTitle(tr("Select theme to create collage"));
    resize(521, 429);
    m_gridLayout = makeNamed<QGridLayout>("gridLayout", this);

    auto *pageRow = makeNamed<QHBoxLayout>("horizontalLayout");
    auto *pageLabel = makeNamed<QLabel>("label", tr("Page size:"), this);
    m_pageSizeComboBox = makeNamed<QComboBox>("pageSizeComboBox", this);
    m_pageSizeComboBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    pageLabel->setBuddy(m_pageSizeComboBox);
    m_albumToolButton = makeNamed<QToolButton>("albumToolButton", this);
    m_albumToolButton->setIcon(QIcon(QStringLiteral(":/orientation_p.png")));
    m_albumToolButton->setToolTip(tr("Portrait"));
    m_albumToolButton->setAccessibleName(tr("Portrait"));
    m_landscapeToolButton = makeNamed<QToolButton>("landscapeToolButton", this);
    m_landscapeToolButton->setIcon(QIcon(QStringLiteral(":/orientation_L.png")));
    m_landscapeToolButton->setToolTip(tr("Landscape"));
    m_landscapeToolButton->setAccessibleName(tr("Landscape"));
    for (QToolButton *button : { m_albumToolButton, m_landscapeToolButton }) {
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setIconSize(QSize(16, 16));
        connect(button, &QToolButton::clicked, this, &TemplatesDialog::swapCurrentPageOrientation);
    }
    pageRow->addWidget(pageLabel);
    pageRow->addWidget(m_pageSizeComboBox, 1);
    pageRow->addWidget(m_albumToolButton);
    pageRow->addWidget(m_landscapeToolButton);

    auto *zoomRow = makeNamed<QHBoxLayout>("horizontalLayout_2");
    auto *smallLabel = makeNamed<QLabel>("label_2", this);
    smallLabel->setPixmap(artwork(QStringLiteral(":/zoom_small.png"), devicePixelRatioF()));
    m_iconSizeSlider = makeNamed<QSlider>("iconSizeSlider", Qt::Horizontal, this);
    m_iconSizeSlider->setRange(MinimumIconSize, MaximumIconSize);
    m_iconSizeSlider->setSingleStep(32);
    m_iconSizeSlider->setPageStep(64);
    m_iconSizeSlider->setValue(MinimumIconSize);
    m_iconSizeSlider->setAccessibleName(tr("Preview size"));
    m_iconSizeSlider->setToolTip(tr("Preview size"));
    auto *bigLabel = makeNamed<QLabel>("label_3", this);
    bigLabel->setPixmap(artwork(QStringLiteral(":/zoom_big.png"), devicePixelRatioF()));
    zoomRow->addWidget(smallLabel);
    zoomRow->addWidget(m_iconSizeSlider);
    zoomRow->addWidget(bigLabel);
    connect(m_iconSizeSlider, &QSlider::valueChanged, this,
        &TemplatesDialog::on_iconSizeSlider_valueChanged);

    m_listView = makeNamed<QListView>("listView", this);
    m_listView->setAccessibleName(tr("Templates"));

    m_progressBar = makeNamed<QProgressBar>("progressBar", this);
    m_progressBar->setTextVisible(true);
    m_progressBar->setFormat(tr("Generating previews\u2026 %v / %m"));
    m_progressBar->hide();

    m_buttonBox = makeNamed<QDialogButtonBox>(
        "buttonBox", QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(
        m_buttonBox, &QDialogButtonBox::accepted, this, &TemplatesDialog::on_buttonBox_accepted);
    connect(m_buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    m_gridLayout->addLayout(pageRow, 0, 0);
    m_gridLayout->addLayout(zoomRow, 0, 1);
    m_gridLayout->addWidget(m_listView, 1, 0, 1, 2);
    m_gridLayout->addWidget(m_progressBar, 2, 0, 1, 2);
    m_gridLayout->addWidget(m_buttonBox, 3, 0, 1, 2);

    connect(m_pageSizeComboBox, qOverload<int>(&QComboBox::activated), this,
        &TemplatesDialog::on_pageSizeComboBox_activated);
}

void TemplatesDialog::configureListView()
{
    m_listView->setViewMode(QListView::IconMode);
    m_listView->setResizeMode(QListView::Adjust);
    m_listView->setMovement(QListView::Static);
    m_listView->setUniformItemSizes(true);
    m_listView->setWordWrap(true);
    m_listView->setSpacing(0);
    m_listView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    on_iconSizeSlider_valueChanged(m_iconSizeSlider->value());
    m_listView->setModel(m_templatesModel);
    connect(m_listView, &QListView::activated, this, &TemplatesDialog::on_buttonBox_accepted);
    connect(m_listView->selectionModel(), &QItemSelectionModel::currentChanged, this,
        &TemplatesDialog::currentIndexChanged);
    m_buttonBox->button(QDialogButtonBox::Ok)->setEnabled(m_listView->currentIndex().isValid());
}

Theme *TemplatesDialog::createSelectedTheme(Document *document)
{
    const QSharedPointer<Template> look = m_templatesModel->templateAt(selectedRow());
    return look ? look->createTheme(document) : nullptr;
}

QString TemplatesDialog::selectedTemplateName() const
{
    const QSharedPointer<Template> look = m_templatesModel->templateAt(selectedRow());
    return look ? look->name() : QString();
}

int TemplatesDialog::selectedRow() const
{
    const QModelIndex current = m_listView->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TemplatesDialog::setCurrentPageSize(const PageSize &pageSize)
{
    if (pageSize == m_currentPageSize)
        return;
    m_currentPageSize = pageSize;
    m_orientation = orientationOf(pageSize.size());
    m_pageSizeComboBox->setCurrentIndex(m_pageSizeModel->indexOfPageSize(pageSize));
    const bool square = isSquare(pageSize);
    m_albumToolButton->setEnabled(!square);
    m_landscapeToolButton->setEnabled(!square);
    m_albumToolButton->setChecked(m_orientation == Portrait);
    m_landscapeToolButton->setChecked(m_orientation == Landscape);
    m_templatesModel->setCurrentPageSize(pageSize);
    Q_EMIT currentPageSizeChanged(pageSize);
}

void TemplatesDialog::swapCurrentPageOrientation()
{
    PageSize swapped = m_currentPageSize;
    swapped.setSize(swapped.size().transposed());
    m_orientation = orientationOf(swapped.size());
    setCurrentPageSize(swapped);
}

void TemplatesDialog::on_pageSizeComboBox_activated(int row)
{
    PageSize entry = m_pageSizeModel->pageSize(row);
    if (!m_pageSizeModel->isCustomEntry(row)) {
        if (m_orientation >= 0 && orientationOf(entry.size()) != m_orientation)
            entry.setSize(entry.size().transposed());
        setCurrentPageSize(entry);
        return;
    }

    PageSetupDialog dialog(m_currentPageSize, this);
    if (dialog.exec() == QDialog::Accepted && dialog.editedPageSize().units() != PageSize::None) {
        const PageSize result = dialog.editedPageSize();
        if (dialog.saveForQuickAccess()) {
            const int inserted = m_pageSizeModel->rowCount() - 1;
            m_pageSizeModel->insertPageSize(inserted, result);
            m_pageSizeComboBox->setCurrentIndex(inserted);
        } else {
            m_pageSizeModel->setCustomPageSize(result);
        }
        setCurrentPageSize(result);
        // An unchanged page keeps its row, though the combo box moved to
        // the custom entry when the dialog was chosen.
        m_pageSizeComboBox->setCurrentIndex(m_pageSizeModel->indexOfPageSize(m_currentPageSize));
        return;
    }
    m_pageSizeComboBox->setCurrentIndex(m_pageSizeModel->indexOfPageSize(m_currentPageSize));
}

void TemplatesDialog::on_iconSizeSlider_valueChanged(int value)
{
    m_listView->setIconSize(QSize(value, value));
    m_listView->setGridSize(QSize(value + GridExtraWidth, value + GridExtraHeight));
}

void TemplatesDialog::currentIndexChanged(const QModelIndex &current, const QModelIndex &previous)
{
    Q_UNUSED(previous)
    m_buttonBox->button(QDialogButtonBox::Ok)->setEnabled(current.isValid());
}

void TemplatesDialog::on_buttonBox_accepted()
{
    if (selectedRow() >= 0)
        accept();
    else
        reject();
}

void TemplatesDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    QTimer::singleShot(0, this, [this] { adjustWidthForColumns(InitialColumns); });
    QTimer::singleShot(PreviewStartDelay, m_templatesModel, &TemplatesModel::startPreviews);
}

void TemplatesDialog::adjustWidthForColumns(int columns)
{
    columns = qMax(1, columns);
    int cell = m_listView->gridSize().width();
    if (m_templatesModel->rowCount() >= 2) {
        const QRect first = m_listView->visualRect(m_templatesModel->index(0));
        const QRect second = m_listView->visualRect(m_templatesModel->index(1));
        if (first.isValid() && second.isValid() && first.y() == second.y()
            && second.x() > first.x())
            cell = second.x() - first.x();
    }
    if (cell <= 0)
        return;
    const int newWidth = width() - m_listView->viewport()->width()
        + m_listView->verticalScrollBar()->width() + 2 + columns * cell;
    if (newWidth > 0 && newWidth != width())
        resize(newWidth, height());
}

void TemplatesDialog::previewProgress(int done, int total)
{
    const bool finished = total < 1 || done >= total;
    if (!finished) {
        m_progressBar->setMaximum(total);
        m_progressBar->setValue(done);
        m_progressBar->show();
    } else {
        m_progressBar->hide();
    }
    m_listView->setEnabled(finished);
    m_pageSizeComboBox->setEnabled(finished);
    m_iconSizeSlider->setEnabled(finished);
    const bool turnable = finished && !isSquare(m_currentPageSize);
    m_albumToolButton->setEnabled(turnable);
    m_landscapeToolButton->setEnabled(turnable);
}
