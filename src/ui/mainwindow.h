#pragma once

#include <QMainWindow>
#include <QPointer>

#include <functional>

#include "model/pagesize.h"

class Document;
class DocumentInnerItem;
class PagesList;
class QAction;
class QFrame;
class QGraphicsView;
class QListView;
class QMenu;
class QTabWidget;
class QToolBar;
class Scene;
class StickerProperties;
class TextOverlayProperties;
class Theme;
class ViewZoom;

// The editing window of one collage document. It owns the document and its
// scene, shows the page, the photo strip and the theme's property pages,
// and turns its menus and tool bar into calls on the document, its image
// list and undo stack, and the application object.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(Document *document, QWidget *parent = nullptr);
    ~MainWindow() override;

    Document *document() const { return m_document; }
    Scene *scene() const { return m_scene; }
    ViewZoom *zoom() const { return m_zoom; }
    QAction *addTextAction() const { return m_addTextAction; }
    QAction *addStickerAction() const { return m_addStickerAction; }

    // Whether closing would lose work: the undo stack is not clean, or a
    // text or sticker was added since the last save (adding one is not an
    // undo step of its own).
    bool hasUnsavedChanges() const;

    // Writes the document to `path` atomically: the old file stays intact
    // until the new one is complete. On failure a message box says why and
    // the document stays modified.
    bool saveToFile(const QString &path);
    // Asks for a file to save to; refuses files that another window has
    // open. Empty when the user cancels.
    QString askSaveFileName();

    // Gives the document a new page size and the theme `createTheme` makes
    // for it, as one undo step "Changing theme". The theme is made inside
    // the step, so the settings its template gives it belong to it too.
    void changeTheme(
        const PageSize &pageSize, const std::function<Theme *(Document *)> &createTheme);

    // The style sheet that gives the window its dark look.
    static QString darkStyleSheet();
    // The web page behind Help > Website.
    static QUrl homePageUrl();

Q_SIGNALS:
    void windowPathChanged(const QString &path);
    void fileWasSaved(const QString &path);

public Q_SLOTS:
    void cleanChanged(bool clean);
    void imageSelectionChanged();
    void on_actionAddPhoto_triggered();
    void on_actionRemovePhoto_triggered();
    void themeChanged(Theme *theme);
    void on_actionRotateLeft_triggered();
    void on_actionRotateRight_triggered();
    void on_actionPage_setup_triggered();
    void on_actionExport_triggered();
    void on_actionSave_triggered();
    void on_actionSaveAs_triggered();
    void on_actionChange_theme_triggered();
    void on_actionEdit_styleSheet_triggered();
    void sceneLayerChanged();
    void updateMenuEdit();
    void on_actionHome_triggered();
    void on_actionPrint_triggered();
    void on_actionAddText_triggered();
    void onTextOverlayAdded(TextOverlayProperties *overlay);
    void onTextOverlayRemoved(TextOverlayProperties *overlay);
    void on_actionAddSticker_triggered();
    void onStickerAdded(StickerProperties *sticker);
    void onStickerRemoved(StickerProperties *sticker);

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWidgets();
    void buildActions();
    void buildMenus();
    void connectActions();
    QAction *makeAction(const char *objectName);
    void retranslateUi();
    // The page the overlays stand on; null without a scene.
    DocumentInnerItem *pageItem() const;
    void createOverlayItems();
    void removeOverlayItem(QObject *properties);
    // Answer of the close prompt: save, discard or cancel.
    int askToSave();
    void overlayAdded();
    void updateModified();

    Document *m_document;
    Scene *m_scene = nullptr;
    ViewZoom *m_zoom = nullptr;
    bool m_overlaysAddedSinceSave = false;

    QWidget *m_centralWidget = nullptr;
    QFrame *m_listFrame = nullptr;
    QListView *m_imageListView = nullptr;
    QGraphicsView *m_graphicsView = nullptr;
    PagesList *m_panelPageFrame = nullptr;
    QTabWidget *m_rightPanelTab = nullptr;
    QToolBar *m_imageListToolBar = nullptr;
    QMenu *m_menuFile = nullptr;
    QMenu *m_menuEdit = nullptr;
    QMenu *m_menuView = nullptr;
    QMenu *m_menuHelp = nullptr;

    QAction *m_actionNew = nullptr;
    QAction *m_actionOpen = nullptr;
    QAction *m_actionClose = nullptr;
    QAction *m_actionSave = nullptr;
    QAction *m_actionSaveAs = nullptr;
    QAction *m_actionExport = nullptr;
    QAction *m_actionPrint = nullptr;
    QAction *m_actionPageSetup = nullptr;
    QAction *m_actionChangeTheme = nullptr;
    QAction *m_actionQuit = nullptr;
    QAction *m_actionShowWelcome = nullptr;
    QAction *m_actionAbout = nullptr;
    QAction *m_actionAboutQt = nullptr;
    QAction *m_actionEditStyleSheet = nullptr;
    QAction *m_actionHome = nullptr;
    QAction *m_actionAddPhoto = nullptr;
    QAction *m_actionRemovePhoto = nullptr;
    QAction *m_actionRotateLeft = nullptr;
    QAction *m_actionRotateRight = nullptr;
    QAction *m_actionZoomIn = nullptr;
    QAction *m_actionZoomOut = nullptr;
    QAction *m_actionZoomReset = nullptr;
    QAction *m_addTextAction = nullptr;
    QAction *m_addStickerAction = nullptr;
    // The Edit menu's undo and redo actions, remade with the menu.
    QPointer<QAction> m_undoAction;
    QPointer<QAction> m_redoAction;
};
