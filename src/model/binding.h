#pragma once

#include <QMetaProperty>
#include <QObject>
#include <QPointer>

// Keeps a property of a document object and a property of a view object
// (a widget or a LineralFunction) equal, in both directions. Writing into
// the document object goes through its public setter, so a change made in
// a panel becomes an undo command and an undo moves the panel.
class Binding : public QObject
{
    Q_OBJECT

public:
    // All four must be given and both properties must exist; anything else
    // is a programming error and aborts.
    Binding(QObject *documentObject, const char *documentPropertyName, QObject *viewObject,
        const char *viewPropertyName, QObject *parent = nullptr);

    QObject *documentObject() const { return m_documentObject.data(); }
    QObject *viewObject() const { return m_viewObject.data(); }
    QMetaProperty documentProperty() const { return m_documentProperty; }
    QMetaProperty viewProperty() const { return m_viewProperty; }

public Q_SLOTS:
    void documentValueChanged();
    void viewValueChanged();

private:
    QPointer<QObject> m_documentObject;
    QMetaProperty m_documentProperty;
    QPointer<QObject> m_viewObject;
    QMetaProperty m_viewProperty;
    bool m_documentToViewGuard = false;
    bool m_viewToDocumentGuard = false;
};
