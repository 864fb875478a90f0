#include "mainwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QResizeEvent>
#include <QSet>
#include <QStandardPaths>
#include <QTabWidget>
#include <QToolBar>
#include <QUrlQuery>
#include <QVBoxLayout>

#include <algorithm>

#include "app/application.h"
#include "app/recentsmenu.h"
#include "io/documentfile.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "model/stickerproperties.h"
#include "model/textoverlayproperties.h"
#include "scene/documentinneritem.h"
#include "scene/documentitem.h"
#include "scene/scene.h"
#include "scene/scenelayer.h"
#include "scene/stickeritem.h"
#include "scene/textoverlayitem.h"
#include "themes/theme.h"
#include "ui/bordershadowwidget.h"
#include "ui/editstylesheetdialog.h"
#include "ui/exportflow.h"
#include "ui/makenamed.h"
#include "ui/pagesetupdialog.h"
#include "ui/pageslist.h"
#include "ui/templatesdialog.h"
#include "ui/viewzoom.h"
#include "undo/undostack.h"

namespace {

// The item data key under which overlay and sticker items keep the
// properties object they show.
constexpr int OverlayKey = 0;

QObject *overlayOf(const QGraphicsItem *item)
{
    return item->data(OverlayKey).value<QObject *>();
}

// Puts an item showing `properties` on `page`, marked with what it shows.
template<typename Item, typename Properties>
void addOverlayItem(DocumentInnerItem *page, Properties *properties)
{
    if (!page || !properties)
        return;
    auto *item = new Item(properties, page);
    item->setData(OverlayKey, QVariant::fromValue<QObject *>(properties));
}

// A layout of `owner` without margins or gaps, so that its parts meet.
template<typename Layout> Layout *seamlessLayout(QWidget *owner, const QString &objectName)
{
    auto *layout = new Layout(owner);
    layout->setObjectName(objectName);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

// Only files can become photos; web addresses and text are not offered.
bool carriesLocalFiles(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl &url) { return url.isLocalFile(); });
}

} // namespace

MainWindow::MainWindow(Document *document, QWidget *parent)
    : QMainWindow(parent)
    , m_document(document)
{
    buildWidgets();
    buildActions();
    buildMenus();

    m_document->setParent(this);
    m_actionEditStyleSheet->setVisible(false);

    new BorderShadowWidget(m_graphicsView);
    m_rightPanelTab->addTab(m_listFrame, QString());
    m_rightPanelTab->addTab(m_panelPageFrame, QString());
    m_rightPanelTab->setCurrentIndex(0);

    connectActions();
    connect(m_document, &Document::themeChanged, this, &MainWindow::themeChanged);

    ImageList *images = m_document->imageList();
    images->setDialogParent(this);
    m_imageListView->setModel(images);

    m_scene = m_document->createScene(this);
    connect(m_scene->documentItem(), &DocumentItem::sceneLayerChanged, this,
        &MainWindow::sceneLayerChanged);
    updateMenuEdit();

    m_scene->setSceneRect(0, 0, m_graphicsView->width(), m_graphicsView->height());
    m_imageListView->setSelectionModel(m_scene->selectionModel());
    connect(m_scene->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &MainWindow::imageSelectionChanged);
    imageSelectionChanged();

    m_graphicsView->setScene(m_scene);
    m_graphicsView->installEventFilter(this);
    m_zoom = new ViewZoom(m_graphicsView, this);

    UndoStack *stack = m_document->undoStack();
    if (stack)
        connect(stack, &QUndoStack::cleanChanged, this, &MainWindow::cleanChanged);
    setWindowModified(stack && !stack->isClean());

    // The tool bar belongs above the photo strip, not to the window's edge.
    removeToolBar(m_imageListToolBar);
    m_imageListToolBar->setParent(m_listFrame);
    static_cast<QVBoxLayout *>(m_listFrame->layout())->insertWidget(0, m_imageListToolBar);
    m_imageListToolBar->show();

    if (stack)
        stack->clear();

    themeChanged(m_document->theme());

    m_addTextAction = new QAction(this);
    m_addTextAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+T")));
    m_addStickerAction = new QAction(this);
    retranslateUi();
    m_menuEdit->addSeparator();
    m_menuEdit->addAction(m_addTextAction);
    m_menuEdit->addAction(m_addStickerAction);
    connect(m_addTextAction, &QAction::triggered, this, &MainWindow::on_actionAddText_triggered);
    connect(
        m_addStickerAction, &QAction::triggered, this, &MainWindow::on_actionAddSticker_triggered);

    connect(m_document, &Document::textOverlayAdded, this, &MainWindow::overlayAdded);
    connect(m_document, &Document::stickerAdded, this, &MainWindow::overlayAdded);
    connect(m_document, &Document::textOverlayAdded, this, &MainWindow::onTextOverlayAdded);
    connect(m_document, &Document::textOverlayRemoved, this, &MainWindow::onTextOverlayRemoved);
    connect(m_document, &Document::stickerAdded, this, &MainWindow::onStickerAdded);
    connect(m_document, &Document::stickerRemoved, this, &MainWindow::onStickerRemoved);
    createOverlayItems();

    setStyleSheet(darkStyleSheet());

    const QByteArray geometry = m_document->property("windowGeometry").toByteArray();
    if (!geometry.isNull())
        restoreGeometry(geometry);
}

MainWindow::~MainWindow()
{
    // Everything that shows the document goes before it: the property
    // pages, then the scene. The document goes before the rest of the
    // window, so that nothing it announces while it dies reaches a window
    // that is half gone.
    m_document->disconnect(this);
    m_panelPageFrame->clear();
    m_imageListView->setModel(nullptr);
    m_graphicsView->setScene(nullptr);
    delete m_scene;
    m_scene = nullptr;
    delete m_document;
}

void MainWindow::buildWidgets()
{
    setObjectName(QStringLiteral("MainWindow"));
    resize(768, 624);
    setAcceptDrops(true);
    setWindowIcon(QIcon(QStringLiteral(":/tesselo-128.png")));
    setAttribute(Qt::WA_DeleteOnClose);
    setStyleSheet(darkStyleSheet());

    m_centralWidget = makeNamed<QWidget>("centralWidget", this);
    auto *horizontalLayout
        = seamlessLayout<QHBoxLayout>(m_centralWidget, QStringLiteral("horizontalLayout"));

    m_graphicsView = makeNamed<QGraphicsView>("graphicsView", m_centralWidget);
    m_graphicsView->setFrameShape(QFrame::NoFrame);
    m_graphicsView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_graphicsView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_graphicsView->setRenderHints(
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    m_graphicsView->setViewportUpdateMode(QGraphicsView::SmartViewportUpdate);
    m_graphicsView->setOptimizationFlag(QGraphicsView::DontAdjustForAntialiasing);
    horizontalLayout->addWidget(m_graphicsView, 1);

    m_rightPanelTab = makeNamed<QTabWidget>("rightPanelTab", m_centralWidget);
    m_rightPanelTab->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    m_rightPanelTab->setTabShape(QTabWidget::Rounded);
    horizontalLayout->addWidget(m_rightPanelTab);

    m_listFrame = makeNamed<QFrame>("listFrame", m_rightPanelTab);
    auto *listPanelLayout
        = seamlessLayout<QVBoxLayout>(m_listFrame, QStringLiteral("listPanelLayout"));

    m_imageListView = makeNamed<QListView>("imageListView", m_listFrame);
    m_imageListView->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    m_imageListView->setDragEnabled(true);
    m_imageListView->setDragDropMode(QAbstractItemView::DragDrop);
    m_imageListView->setDefaultDropAction(Qt::MoveAction);
    m_imageListView->setAlternatingRowColors(true);
    m_imageListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_imageListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_imageListView->setIconSize(QSize(64, 64));
    m_imageListView->setMovement(QListView::Snap);
    m_imageListView->setResizeMode(QListView::Adjust);
    m_imageListView->setAttribute(Qt::WA_MacShowFocusRect, false);
    listPanelLayout->addWidget(m_imageListView);

    m_panelPageFrame = makeNamed<PagesList>("panelPageFrame", m_rightPanelTab);
    m_panelPageFrame->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

    setCentralWidget(m_centralWidget);

    auto *menuBar = makeNamed<QMenuBar>("menuBar", this);
    menuBar->setGeometry(0, 0, 768, 22);
    setMenuBar(menuBar);
    m_menuFile = menuBar->addMenu(QString());
    m_menuFile->setObjectName(QStringLiteral("menu_File"));
    m_menuEdit = menuBar->addMenu(QString());
    m_menuEdit->setObjectName(QStringLiteral("menu_Edit"));
    m_menuView = menuBar->addMenu(QString());
    m_menuView->setObjectName(QStringLiteral("menu_View"));
    m_menuHelp = menuBar->addMenu(QString());
    m_menuHelp->setObjectName(QStringLiteral("menuHelp"));

    m_imageListToolBar = makeNamed<QToolBar>("imageListToolBar", this);
    m_imageListToolBar->setIconSize(QSize(12, 12));
    addToolBar(Qt::BottomToolBarArea, m_imageListToolBar);
}

QAction *MainWindow::makeAction(const char *objectName)
{
    auto *action = new QAction(this);
    action->setObjectName(QLatin1String(objectName));
    return action;
}

// Every text of the window, set again when the interface language changes.
void MainWindow::retranslateUi()
{
    if (windowFilePath().isEmpty())
        setWindowTitle(tr("Untitled[*]"));
    m_actionNew->setText(tr("&New..."));
    m_actionOpen->setText(tr("&Open..."));
    m_actionClose->setText(tr("Close"));
    m_actionSave->setText(tr("&Save"));
    m_actionSaveAs->setText(tr("Save &as..."));
    m_actionExport->setText(tr("Ex&port..."));
    m_actionPrint->setText(tr("Print"));
    m_actionPageSetup->setText(tr("Page setup..."));
    m_actionChangeTheme->setText(tr("Change theme..."));
    m_actionQuit->setText(tr("Quit"));
    m_actionShowWelcome->setText(tr("Show &welcome screen..."));
    m_actionZoomIn->setText(tr("Zoom &In"));
    m_actionZoomOut->setText(tr("Zoom &Out"));
    m_actionZoomReset->setText(tr("&Fit Page"));
    m_actionAbout->setText(tr("&About..."));
    m_actionAboutQt->setText(tr("About &Qt..."));
    m_actionHome->setText(tr("Website"));
    m_actionAddPhoto->setText(tr("Add photo"));
    m_actionRemovePhoto->setText(tr("Remove photo"));
    m_actionRotateLeft->setText(tr("Rotate left"));
    m_actionRotateRight->setText(tr("Rotate right"));
    m_actionExport->setToolTip(tr("Save as image"));
    m_actionHome->setToolTip(tr("Website"));
    m_actionRotateLeft->setToolTip(tr("Rotates image 90° counterclockwise"));
    m_actionRotateRight->setToolTip(tr("Rotates image 90° clockwise"));
    m_menuFile->setTitle(tr("&File"));
    m_menuEdit->setTitle(tr("&Edit"));
    m_menuView->setTitle(tr("&Window"));
    m_menuHelp->setTitle(tr("&Help"));
    m_graphicsView->setAccessibleName(tr("Page"));
    m_imageListView->setAccessibleName(tr("Photos"));
    m_imageListToolBar->setWindowTitle(tr("Photos"));
    m_rightPanelTab->setTabText(0, tr("Images", "tab panel"));
    m_rightPanelTab->setTabText(1, tr("Theme", "tab panel"));
    m_addTextAction->setText(tr("Add &Text"));
    m_addStickerAction->setText(tr("Add &Sticker"));
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi();
        // The property pages are the theme's: build them anew in the new language.
        themeChanged(m_document->theme());
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::buildActions()
{
    m_actionNew = makeAction("actionNew_collage");
    m_actionNew->setShortcuts({ QKeySequence(QStringLiteral("Ctrl+N")), QKeySequence::New });
    m_actionOpen = makeAction("actionOpen");
    m_actionOpen->setShortcut(QKeySequence::Open);
    m_actionClose = makeAction("actionClose");
    m_actionClose->setShortcut(QKeySequence::Close);
    m_actionSave = makeAction("actionSave");
    m_actionSave->setShortcut(QKeySequence::Save);
    m_actionSaveAs = makeAction("actionSaveAs");
    m_actionSaveAs->setShortcut(QKeySequence::SaveAs);
    m_actionExport = makeAction("actionExport");
    m_actionPrint = makeAction("actionPrint");
    m_actionPrint->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
    m_actionPageSetup = makeAction("actionPage_setup");
    m_actionChangeTheme = makeAction("actionChange_theme");
    m_actionQuit = makeAction("actionQuit");
    m_actionQuit->setShortcut(QKeySequence::Quit);
    m_actionQuit->setMenuRole(QAction::QuitRole);

    m_actionShowWelcome = makeAction("actionShow_welcome_screen");
    m_actionZoomIn = makeAction("actionZoom_in");
    m_actionZoomIn->setShortcuts({ QKeySequence::ZoomIn, QKeySequence(QStringLiteral("Ctrl+=")) });
    m_actionZoomOut = makeAction("actionZoom_out");
    m_actionZoomOut->setShortcut(QKeySequence::ZoomOut);
    m_actionZoomReset = makeAction("actionZoom_fit");
    m_actionZoomReset->setShortcut(QKeySequence(QStringLiteral("Ctrl+0")));

    m_actionAbout = makeAction("actionAbout");
    m_actionAbout->setMenuRole(QAction::AboutRole);
    m_actionAboutQt = makeAction("actionAbout_Qt");
    m_actionAboutQt->setMenuRole(QAction::AboutQtRole);
    m_actionEditStyleSheet = makeAction("actionEdit_styleSheet");
    m_actionEditStyleSheet->setText(QStringLiteral("Edit styleSheet"));
    m_actionEditStyleSheet->setIconText(QStringLiteral("Edit styleSheet"));
    m_actionEditStyleSheet->setToolTip(QStringLiteral("Edit styleSheet"));
    m_actionHome = makeAction("actionHome");

    m_actionAddPhoto = makeAction("actionAddPhoto");
    m_actionAddPhoto->setIcon(QIcon(QStringLiteral(":/plus.png")));
    m_actionRemovePhoto = makeAction("actionRemovePhoto");
    m_actionRemovePhoto->setIcon(QIcon(QStringLiteral(":/minus.png")));
    m_actionRemovePhoto->setShortcut(QKeySequence::Delete);
    m_actionRotateLeft = makeAction("actionRotateLeft");
    m_actionRotateLeft->setIcon(QIcon(QStringLiteral(":/rotateCCW.png")));
    m_actionRotateRight = makeAction("actionRotateRight");
    m_actionRotateRight->setIcon(QIcon(QStringLiteral(":/rotateCW.png")));
    // The photo actions act on the strip's selection; keep Delete from
    // reaching for photos while a text field elsewhere has the focus.
    for (QAction *action : { m_actionRemovePhoto, m_actionRotateLeft, m_actionRotateRight })
        action->setShortcutContext(Qt::WindowShortcut);
}

void MainWindow::buildMenus()
{
    m_menuFile->addAction(m_actionNew);
    m_menuFile->addSeparator();
    m_menuFile->addAction(m_actionOpen);
    if (Application *app = Application::instance())
        m_menuFile->addMenu(app->createRecentsMenu(m_menuFile));
    m_menuFile->addAction(m_actionClose);
    m_menuFile->addSeparator();
    m_menuFile->addAction(m_actionSave);
    m_menuFile->addAction(m_actionSaveAs);
    m_menuFile->addAction(m_actionExport);
    m_menuFile->addAction(m_actionPrint);
    m_menuFile->addSeparator();
    m_menuFile->addAction(m_actionPageSetup);
    m_menuFile->addAction(m_actionChangeTheme);
    m_menuFile->addSeparator();
    m_menuFile->addAction(m_actionQuit);

    m_menuView->addAction(m_actionShowWelcome);
    m_menuView->addSeparator();
    m_menuView->addAction(m_actionZoomIn);
    m_menuView->addAction(m_actionZoomOut);
    m_menuView->addAction(m_actionZoomReset);

    m_menuHelp->addSeparator();
    m_menuHelp->addAction(m_actionAbout);
    m_menuHelp->addAction(m_actionAboutQt);
    m_menuHelp->addAction(m_actionEditStyleSheet);
    m_menuHelp->addAction(m_actionHome);

    m_imageListToolBar->addAction(m_actionAddPhoto);
    m_imageListToolBar->addAction(m_actionRemovePhoto);
    m_imageListToolBar->addAction(m_actionRotateLeft);
    m_imageListToolBar->addAction(m_actionRotateRight);
}

void MainWindow::connectActions()
{
    connect(m_actionClose, &QAction::triggered, this, &QWidget::close);
    connect(m_actionSave, &QAction::triggered, this, &MainWindow::on_actionSave_triggered);
    connect(m_actionSaveAs, &QAction::triggered, this, &MainWindow::on_actionSaveAs_triggered);
    connect(m_actionExport, &QAction::triggered, this, &MainWindow::on_actionExport_triggered);
    connect(m_actionPrint, &QAction::triggered, this, &MainWindow::on_actionPrint_triggered);
    connect(
        m_actionPageSetup, &QAction::triggered, this, &MainWindow::on_actionPage_setup_triggered);
    connect(m_actionChangeTheme, &QAction::triggered, this,
        &MainWindow::on_actionChange_theme_triggered);
    connect(m_actionEditStyleSheet, &QAction::triggered, this,
        &MainWindow::on_actionEdit_styleSheet_triggered);
    connect(m_actionHome, &QAction::triggered, this, &MainWindow::on_actionHome_triggered);
    connect(m_actionAddPhoto, &QAction::triggered, this, &MainWindow::on_actionAddPhoto_triggered);
    connect(m_actionRemovePhoto, &QAction::triggered, this,
        &MainWindow::on_actionRemovePhoto_triggered);
    connect(
        m_actionRotateLeft, &QAction::triggered, this, &MainWindow::on_actionRotateLeft_triggered);
    connect(m_actionRotateRight, &QAction::triggered, this,
        &MainWindow::on_actionRotateRight_triggered);
    connect(m_actionZoomIn, &QAction::triggered, this, [this] { m_zoom->zoomIn(); });
    connect(m_actionZoomOut, &QAction::triggered, this, [this] { m_zoom->zoomOut(); });
    connect(m_actionZoomReset, &QAction::triggered, this, [this] { m_zoom->resetZoom(); });

    Application *app = Application::instance();
    if (!app)
        return;
    connect(m_actionNew, &QAction::triggered, app, &Application::createCollage);
    connect(m_actionOpen, &QAction::triggered, app, qOverload<>(&Application::openFile));
    connect(m_actionQuit, &QAction::triggered, app, &Application::performQuit);
    connect(m_actionShowWelcome, &QAction::triggered, app, &Application::showWelcomeScreen);
    connect(m_actionAbout, &QAction::triggered, app, &Application::about);
    connect(m_actionAboutQt, &QAction::triggered, app, &QApplication::aboutQt);
}

QString MainWindow::darkStyleSheet()
{
    QFile file(QStringLiteral(":/styles/dark.qss"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QUrl MainWindow::homePageUrl()
{
    QUrl url(QStringLiteral("https://quorvane.example/tesselo/"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("qv_product"), QStringLiteral("tesselo"));
    query.addQueryItem(QStringLiteral("qv_version"),
        QApplication::applicationVersion().isEmpty() ? QStringLiteral("0.9.6")
                                                     : QApplication::applicationVersion());
    query.addQueryItem(QStringLiteral("qv_source"), QStringLiteral("app-menu"));
    url.setQuery(query);
    return url;
}

// --- slots -----------------------------------------------------------------

void MainWindow::cleanChanged(bool clean)
{
    setWindowModified(!clean || m_overlaysAddedSinceSave);
}

bool MainWindow::hasUnsavedChanges() const
{
    const UndoStack *stack = m_document->undoStack();
    return m_overlaysAddedSinceSave || (stack && !stack->isClean());
}

void MainWindow::overlayAdded()
{
    m_overlaysAddedSinceSave = true;
    updateModified();
}

void MainWindow::updateModified()
{
    setWindowModified(hasUnsavedChanges());
}

void MainWindow::imageSelectionChanged()
{
    m_actionRemovePhoto->setEnabled(m_scene->selectionModel()->hasSelection());
}

void MainWindow::on_actionAddPhoto_triggered()
{
    const QStringList paths
        = QFileDialog::getOpenFileNames(this, tr("Select images", "dialog title"),
            QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
            Application::imageFileFilter());
    if (paths.isEmpty())
        return;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    ImageList *images = m_document->imageList();
    images->insertUrls(images->rowCount(), urls, true);
}

void MainWindow::on_actionRemovePhoto_triggered()
{
    m_document->imageList()->removeSelection(m_scene->selectionModel()->selection());
}

void MainWindow::themeChanged(Theme *theme)
{
    const QList<QWidget *> pages
        = theme ? theme->createPropertyWidgets(m_panelPageFrame) : QList<QWidget *>();
    m_panelPageFrame->clear();
    m_panelPageFrame->setPages(pages);
}

void MainWindow::on_actionRotateLeft_triggered()
{
    m_document->imageList()->rotateSelected(m_scene->selectionModel()->selection(), -1);
}

void MainWindow::on_actionRotateRight_triggered()
{
    m_document->imageList()->rotateSelected(m_scene->selectionModel()->selection(), 1);
}

void MainWindow::on_actionPage_setup_triggered()
{
    PageSetupDialog dialog(m_document->pageSize(), this);
    if (dialog.exec() == QDialog::Accepted)
        m_document->setPageSize(dialog.editedPageSize());
}

void MainWindow::on_actionExport_triggered()
{
    ExportFlow::exportDocument(m_document, this);
}

void MainWindow::on_actionPrint_triggered()
{
    ExportFlow::printDocument(m_document, this);
}

void MainWindow::on_actionSave_triggered()
{
    QString path = windowFilePath();
    if (path.isEmpty())
        path = askSaveFileName();
    if (!path.isEmpty())
        saveToFile(path);
}

void MainWindow::on_actionSaveAs_triggered()
{
    const QString path = askSaveFileName();
    if (!path.isEmpty())
        saveToFile(path);
}

QString MainWindow::askSaveFileName()
{
    for (;;) {
        QFileDialog dialog(this, tr("Save collage as", "Dialog title"),
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
            Document::fileFilter());
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QStringLiteral("tsq"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        const QString path = dialog.selectedFiles().constFirst();
        if (path.isEmpty())
            return QString();
        // Keys are normalised, so a path typed differently still finds the window.
        Application *app = Application::instance();
        MainWindow *owner = app ? app->windowForPath(path) : nullptr;
        if (owner && owner != this) {
            QMessageBox::critical(this, tr("Error"),
                tr("This file is already opened.\n"
                   "Please select other file or close opened version."));
            continue;
        }
        return path;
    }
}

bool MainWindow::saveToFile(const QString &path)
{
    const QString nativePath = QDir::toNativeSeparators(path);
    m_document->setProperty("windowGeometry", saveGeometry());
    QString error;
    if (!DocumentFile::save(m_document, nativePath, &error)) {
        QMessageBox::critical(this, DocumentFile::saveErrorTitle(), error);
        return false;
    }
    setWindowTitle(QString());
    setWindowFilePath(nativePath);
    m_overlaysAddedSinceSave = false;
    if (UndoStack *stack = m_document->undoStack())
        stack->setClean();
    updateModified();
    Q_EMIT windowPathChanged(nativePath);
    Q_EMIT fileWasSaved(nativePath);
    return true;
}

void MainWindow::on_actionChange_theme_triggered()
{
    TemplatesDialog chooser(this, m_document);
    if (chooser.exec() != QDialog::Accepted)
        return;
    if (chooser.selectedTemplateName().isEmpty())
        return;
    changeTheme(chooser.currentPageSize(),
        [&chooser](Document *document) { return chooser.createSelectedTheme(document); });
}

void MainWindow::changeTheme(
    const PageSize &pageSize, const std::function<Theme *(Document *)> &createTheme)
{
    UndoStack *stack = m_document->undoStack();
    if (stack)
        stack->beginMacro(tr("Changing theme"));
    Theme *theme = createTheme(m_document);
    if (theme) {
        m_document->setPageSize(pageSize);
        m_document->setTheme(theme);
    }
    if (stack)
        stack->endMacro();
}

void MainWindow::on_actionEdit_styleSheet_triggered()
{
    auto *dialog = new EditStyleSheetDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void MainWindow::sceneLayerChanged()
{
    updateMenuEdit();
    // A new theme brings a new page item; the old one took the text and
    // sticker items with it.
    createOverlayItems();
}

void MainWindow::updateMenuEdit()
{
    m_menuEdit->clear();
    DocumentItem *documentItem = m_scene ? m_scene->documentItem() : nullptr;
    if (documentItem && documentItem->sceneLayer())
        m_menuEdit->addActions(documentItem->sceneLayer()->actions());
    m_menuEdit->addSeparator();
    if (UndoStack *stack = m_document->undoStack()) {
        m_undoAction = stack->createUndoAction(m_menuEdit, QString());
        m_undoAction->setShortcut(QKeySequence::Undo);
        m_redoAction = stack->createRedoAction(m_menuEdit, QString());
        m_redoAction->setShortcut(QKeySequence::Redo);
        m_menuEdit->addAction(m_undoAction);
        m_menuEdit->addAction(m_redoAction);
    }
    if (m_addTextAction && m_addStickerAction) {
        m_menuEdit->addSeparator();
        m_menuEdit->addAction(m_addTextAction);
        m_menuEdit->addAction(m_addStickerAction);
    }
}

void MainWindow::on_actionHome_triggered()
{
    QDesktopServices::openUrl(homePageUrl());
}

void MainWindow::on_actionAddText_triggered()
{
    m_document->addTextOverlay();
}

void MainWindow::onTextOverlayAdded(TextOverlayProperties *overlay)
{
    addOverlayItem<TextOverlayItem>(pageItem(), overlay);
}

void MainWindow::onTextOverlayRemoved(TextOverlayProperties *overlay)
{
    removeOverlayItem(overlay);
}

void MainWindow::on_actionAddSticker_triggered()
{
    const QStringList files = StickerProperties::availableStickers();
    if (files.isEmpty()) {
        QMessageBox::information(this, tr("Stickers"),
            tr("No stickers available. Add SVG or PNG files to the "
               "stickers resource folder."));
        return;
    }
    QStringList names;
    for (const QString &file : files)
        names.append(QFileInfo(file).baseName());
    bool accepted = false;
    const QString choice = QInputDialog::getItem(
        this, tr("Add Sticker"), tr("Select sticker:"), names, 0, false, &accepted);
    if (!accepted || choice.isEmpty())
        return;
    const int index = names.indexOf(choice);
    if (index >= 0)
        m_document->addSticker(files.at(index));
}

void MainWindow::onStickerAdded(StickerProperties *sticker)
{
    addOverlayItem<StickerItem>(pageItem(), sticker);
}

void MainWindow::onStickerRemoved(StickerProperties *sticker)
{
    removeOverlayItem(sticker);
}

DocumentInnerItem *MainWindow::pageItem() const
{
    DocumentItem *documentItem = m_scene ? m_scene->documentItem() : nullptr;
    return documentItem ? documentItem->innerItem() : nullptr;
}

void MainWindow::removeOverlayItem(QObject *properties)
{
    DocumentInnerItem *page = pageItem();
    if (!page)
        return;
    const QList<QGraphicsItem *> children = page->childItems();
    for (QGraphicsItem *child : children) {
        if (overlayOf(child) == properties) {
            delete child;
            return;
        }
    }
}

void MainWindow::createOverlayItems()
{
    DocumentInnerItem *page = pageItem();
    if (!page)
        return;
    // A layer change that keeps the page keeps its items; make only the missing ones.
    QSet<QObject *> shown;
    const QList<QGraphicsItem *> children = page->childItems();
    for (QGraphicsItem *child : children) {
        if (QObject *properties = overlayOf(child))
            shown.insert(properties);
    }
    for (TextOverlayProperties *overlay : m_document->textOverlays()) {
        if (!shown.contains(overlay))
            onTextOverlayAdded(overlay);
    }
    for (StickerProperties *sticker : m_document->stickers()) {
        if (!shown.contains(sticker))
            onStickerAdded(sticker);
    }
}

// --- events ----------------------------------------------------------------

int MainWindow::askToSave()
{
    const QString baseName = QFileInfo(windowFilePath()).baseName();
    const QString text = baseName.isEmpty()
        ? tr("Do you want to save the changes you made in this document?")
        : tr("Do you want to save the changes you made in the document \"%1\" ?").arg(baseName);
    QMessageBox box(this);
    box.setWindowTitle(tr("Document not saved", "message box title"));
    box.setText(text);
    box.setIcon(QMessageBox::Question);
    box.setIconPixmap(QIcon(QStringLiteral(":/document_45.png")).pixmap(45, 45));
    box.setInformativeText(tr("Your changes will be lost if you don't save them."));
    box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Save);
    box.setWindowModality(Qt::WindowModal);
    return box.exec();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    for (;;) {
        if (!hasUnsavedChanges()) {
            event->accept();
            return;
        }
        switch (askToSave()) {
        case QMessageBox::Save: {
            QString path = windowFilePath();
            if (path.isEmpty())
                path = askSaveFileName();
            if (!path.isEmpty())
                saveToFile(path);
            break; // asks again unless the save made the stack clean
        }
        case QMessageBox::Discard:
            event->accept();
            return;
        case QMessageBox::Cancel:
            event->ignore();
            return;
        default:
            break;
        }
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!carriesLocalFiles(event->mimeData()))
        return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    if (!carriesLocalFiles(data)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    const bool inserted
        = m_document->imageList()->dropMimeData(data, Qt::CopyAction, -1, 0, QModelIndex());
    event->setAccepted(inserted);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_graphicsView && event->type() == QEvent::Resize && m_scene) {
        const QSize size = static_cast<QResizeEvent *>(event)->size();
        m_scene->setSceneRect(0, 0, size.width(), size.height());
    }
    return QMainWindow::eventFilter(watched, event);
}
