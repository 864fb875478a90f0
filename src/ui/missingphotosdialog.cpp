#include "missingphotosdialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "model/document.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/missingphotos.h"

namespace {

MissingPhotosDialog::FolderChooser &folderChooser()
{
    static MissingPhotosDialog::FolderChooser chooser;
    return chooser;
}

QString askForFolder(QWidget *parent, const QString &title)
{
    if (const MissingPhotosDialog::FolderChooser &chooser = folderChooser())
        return chooser(parent, title);
    return QFileDialog::getExistingDirectory(
        parent, title, QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
}

} // namespace

MissingPhotosDialog::MissingPhotosDialog(Document *document, QWidget *parent)
    : QDialog(parent)
    , m_document(document)
    , m_summary(new QLabel(this))
    , m_result(new QLabel(this))
    , m_list(new QTreeWidget(this))
    , m_locateButton(new QPushButton(tr("Locate..."), this))
{
    setWindowTitle(tr("Missing photos", "dialog title"));
    m_summary->setWordWrap(true);
    m_result->setWordWrap(true);
    m_result->hide();
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({ tr("Photo"), tr("Last known location") });
    m_list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_list->setAccessibleName(tr("Missing photos"));
    m_locateButton->setToolTip(tr("Choose a folder to search for the missing photos"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(m_locateButton, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_locateButton, &QPushButton::clicked, this, &MissingPhotosDialog::locate);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_list);
    layout->addWidget(m_result);
    layout->addWidget(buttons);
    m_locateButton->setDefault(true);
    m_locateButton->setFocus();
    resize(640, 360);
    fillList();
}

bool MissingPhotosDialog::showIfPhotosMissing(Document *document, QWidget *parent)
{
    if (!document || MissingPhotos::find(document->imageList()).isEmpty())
        return false;
    MissingPhotosDialog dialog(document, parent);
    dialog.exec();
    return true;
}

void MissingPhotosDialog::setFolderChooser(const FolderChooser &chooser)
{
    folderChooser() = chooser;
}

int MissingPhotosDialog::missingCount() const
{
    return m_list->topLevelItemCount();
}

void MissingPhotosDialog::fillList()
{
    m_list->clear();
    const auto missing = MissingPhotos::find(m_document->imageList());
    for (const QSharedPointer<ImageSource> &image : missing) {
        const QString path = image->source().toLocalFile();
        auto *item = new QTreeWidgetItem(m_list,
            { QFileInfo(path).fileName(), QDir::toNativeSeparators(QFileInfo(path).path()) });
        item->setToolTip(1, QDir::toNativeSeparators(path));
    }
    const int count = int(missing.size());
    m_summary->setText(count == 1 ? tr("One photo of this collage cannot be found. Its place stays "
                                       "empty until you locate it.")
                                  : tr("%n photos of this collage cannot be found. Their places "
                                       "stay empty until you locate them.",
                                      nullptr, count));
}

void MissingPhotosDialog::locate()
{
    const QString folder = askForFolder(this, tr("Locate missing photos", "dialog title"));
    if (folder.isEmpty())
        return;
    ImageList *images = m_document->imageList();
    const int found = MissingPhotos::relink(images, folder);
    if (found > 0) {
        // The reading progress shows over this dialog, not the window.
        QWidget *windowParent = images->dialogParent();
        images->setDialogParent(this);
        images->readAllFiles(true);
        images->setDialogParent(windowParent);
    }
    fillList();
    if (missingCount() == 0) {
        accept();
        return;
    }
    const QString where = QDir::toNativeSeparators(folder);
    if (found == 0)
        m_result->setText(tr("None of the missing photos is in %1.").arg(where));
    else if (found == 1)
        m_result->setText(tr("One photo was found in %1.").arg(where));
    else
        m_result->setText(tr("%n photos were found in %1.", nullptr, found).arg(where));
    m_result->show();
}
