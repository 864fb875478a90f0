#pragma once

#include <QByteArray>
#include <QIcon>
#include <QList>
#include <QModelIndex>
#include <QObject>
#include <QSharedPointer>
#include <QString>

#include "model/documentpart.h"

class ImageSource;
class QAction;
class QDataStream;
class QGraphicsItem;
class QGraphicsScene;
class QWidget;
class SceneLayer;

// The layout engine of a collage. A theme follows its document's image
// list, keeps one layout item per image, owns the look settings and makes
// the scene layer and property pages that show and edit them.
class Theme : public QObject, public DocumentPart
{
    Q_OBJECT
    Q_PROPERTY(QList<QAction *> actions READ actions CONSTANT)
    Q_MOC_INCLUDE(<QAction>)
    Q_PROPERTY(QObject *document READ documentObject CONSTANT)

public:
    class BaseFactory;
    template<typename T> class Factory;

    explicit Theme(Document *document);
    ~Theme() override;

    QList<QAction *> actions() const { return m_actions; }
    QObject *documentObject() const;
    // Whether the document shows this theme now.
    bool isCurrent() const;

    virtual SceneLayer *createSceneItem(QGraphicsItem *parent, QGraphicsScene *scene) = 0;
    virtual QList<QWidget *> createPropertyWidgets(QWidget *parent);
    virtual void save(QDataStream &stream) const = 0;
    virtual void load(QDataStream &stream) = 0;

    virtual void imageInserted(int row, const QSharedPointer<ImageSource> &image);
    virtual void imageInserted(const QSharedPointer<ImageSource> &image);
    virtual void imageRemoved(int row, const QSharedPointer<ImageSource> &image);
    virtual void imageRemoved(const QSharedPointer<ImageSource> &image);
    virtual void imagesInserted(int first, int count);
    virtual void removeAllImages();
    virtual void imagesRemoved(int first, int count);
    virtual void imagesMoved(int sourceStart, int sourceEnd, int destinationRow);

public Q_SLOTS:
    void resetLayout();

protected Q_SLOTS:
    void imageRowsAboutToBeRemoved(const QModelIndex &parent, int start, int end);
    void imageRowsInserted(const QModelIndex &parent, int start, int end);
    void imageModelReset();
    void _layoutReset();
    void imageRowsMoved(const QModelIndex &sourceParent, int sourceStart, int sourceEnd,
        const QModelIndex &destinationParent, int destinationRow);

protected:
    QList<QAction *> m_actions;
};

// Makes themes of one registered kind and tags them with the kind's id,
// name and icon.
class Theme::BaseFactory
{
public:
    BaseFactory(const QByteArray &id, const QIcon &icon, const QString &name);
    virtual ~BaseFactory();

    virtual Theme *create(Document *document) const = 0;

protected:
    Theme *tag(Theme *theme) const;

private:
    QByteArray m_id;
    QIcon m_icon;
    QString m_name;
};

template<typename T> class Theme::Factory : public Theme::BaseFactory
{
public:
    using BaseFactory::BaseFactory;
    Theme *create(Document *document) const override { return tag(new T(document)); }
};
