#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QRectF>
#include <QSharedPointer>
#include <QSizeF>

#include "model/documentpart.h"
#include "model/pagesize.h"

class ImageList;
class QPainter;
class Scene;
class StickerProperties;
class TextOverlayProperties;
class Theme;
class UndoStack;

// One collage: its page, its photos, its layout theme, its text overlays
// and stickers, and the undo stack that records every edit. Documents made
// for previews and rendering have no undo stack; their setters assign at once.
class Document : public QObject, public DocumentPart
{
    Q_OBJECT
    Q_PROPERTY(ImageList *imageList READ imageList CONSTANT)
    Q_MOC_INCLUDE("model/imagelist.h")
    Q_MOC_INCLUDE("model/stickerproperties.h")
    Q_MOC_INCLUDE("model/textoverlayproperties.h")
    Q_MOC_INCLUDE("themes/theme.h")
    Q_PROPERTY(QByteArray themeId READ themeId WRITE setThemeId NOTIFY themeIdChanged)
    Q_PROPERTY(PageSize pageSize READ pageSize WRITE setPageSize NOTIFY pageSizeChanged)

public:
    explicit Document(bool withUndoStack, QObject *parent = nullptr);
    ~Document() override;

    ImageList *imageList() const { return m_imageList; }
    QByteArray themeId() const { return m_themeId; }
    Theme *theme() const { return m_theme; }
    PageSize pageSize() const { return m_pageSize; }
    UndoStack *undoStack() const override { return m_undoStack.data(); }
    QSharedPointer<UndoStack> sharedUndoStack() const { return m_undoStack; }

    void setTheme(Theme *theme);

    TextOverlayProperties *addTextOverlay();
    StickerProperties *addSticker(const QString &source = QString());
    const QList<TextOverlayProperties *> &textOverlays() const { return m_textOverlays; }
    const QList<StickerProperties *> &stickers() const { return m_stickers; }

    Document *createPreviewCopy(QObject *parent = nullptr) const;

    Scene *createScene(QObject *parent = nullptr);
    // Draws the source part of the page (fractions of the page; null for
    // the whole page) into target, from the image files at exact scale.
    void render(QPainter *painter, const QRectF &target, const QRectF &source = QRectF());

    static QString fileFilter();

public Q_SLOTS:
    void setThemeId(const QByteArray &id);
    void setPageSize(const PageSize &pageSize);

Q_SIGNALS:
    void textOverlayAdded(TextOverlayProperties *overlay);
    void textOverlayRemoved(TextOverlayProperties *overlay);
    void stickerAdded(StickerProperties *sticker);
    void stickerRemoved(StickerProperties *sticker);
    void themeIdChanged(const QByteArray &id);
    void themeChanged(Theme *theme);
    void sizeChanged(const QSizeF &size);
    void pageSizeChanged(const PageSize &pageSize);

private:
    // A preview copy shares the image list of the document it copies.
    Document(ImageList *sharedImageList, QObject *parent);

    void assignPageSize(const PageSize &pageSize);
    void assignTheme(Theme *theme);
    void assignThemeId(const QByteArray &id);

    ImageList *m_imageList;
    QByteArray m_themeId;
    Theme *m_theme = nullptr;
    QSharedPointer<UndoStack> m_undoStack;
    PageSize m_pageSize { PageSize::Pixels, QSizeF(300, 300) };
    QList<TextOverlayProperties *> m_textOverlays;
    QList<StickerProperties *> m_stickers;
};
