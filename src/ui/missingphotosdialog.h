#pragma once

#include <QDialog>

#include <functional>

class Document;
class QLabel;
class QPushButton;
class QTreeWidget;

// Tells which photos of a just opened collage cannot be found, with the
// place each was last seen, and lets the user locate them: every missing
// photo found in the chosen folder or below is relinked in one undo step,
// the rest stay listed.
class MissingPhotosDialog : public QDialog
{
    Q_OBJECT

public:
    // Asks for the folder to search; replaceable so that tests need no
    // person at a file dialog.
    using FolderChooser = std::function<QString(QWidget *parent, const QString &title)>;

    explicit MissingPhotosDialog(Document *document, QWidget *parent = nullptr);

    // Shows the dialog modally when some photos of `document` are missing.
    // Returns whether it was shown. Call after the photos were read.
    static bool showIfPhotosMissing(Document *document, QWidget *parent);

    static void setFolderChooser(const FolderChooser &chooser);

    // The number of photos still listed.
    int missingCount() const;

public Q_SLOTS:
    void locate();

private:
    void fillList();

    Document *m_document;
    QLabel *m_summary;
    QLabel *m_result;
    QTreeWidget *m_list;
    QPushButton *m_locateButton;
};
