#include "binding.h"

#include <QMetaMethod>

namespace {

QMetaProperty findProperty(const QObject *object, const char *name)
{
    const QMetaObject *metaObject = object->metaObject();
    const int index = metaObject->indexOfProperty(name);
    if (index < 0)
        qFatal("Binding: %s has no property %s", metaObject->className(), name);
    return metaObject->property(index);
}

// Writes value into property, converted to the property's type. A failed
// conversion writes whatever it yields. `copying` is set meanwhile, so that
// the change the write announces is not copied back the other way.
void transfer(bool &copying, const QMetaProperty &from, const QObject *source,
    const QMetaProperty &to, QObject *target)
{
    if (!source || !target)
        return;
    copying = true;
    QVariant value = from.read(source);
    value.convert(to.metaType());
    to.write(target, value);
    copying = false;
}

} // namespace

Binding::Binding(QObject *documentObject, const char *documentPropertyName, QObject *viewObject,
    const char *viewPropertyName, QObject *parent)
    : QObject(parent)
    , m_documentObject(documentObject)
    , m_viewObject(viewObject)
{
    if (!documentObject || !documentPropertyName || !*documentPropertyName || !viewObject
        || !viewPropertyName || !*viewPropertyName)
        qFatal("Binding: document object, view object and both property names are required");

    m_documentProperty = findProperty(documentObject, documentPropertyName);
    m_viewProperty = findProperty(viewObject, viewPropertyName);

    const QMetaMethod documentValueChangedSlot
        = metaObject()->method(metaObject()->indexOfSlot("documentValueChanged()"));
    const QMetaMethod viewValueChangedSlot
        = metaObject()->method(metaObject()->indexOfSlot("viewValueChanged()"));
    if (m_documentProperty.hasNotifySignal())
        connect(documentObject, m_documentProperty.notifySignal(), this, documentValueChangedSlot);
    if (m_viewProperty.hasNotifySignal())
        connect(viewObject, m_viewProperty.notifySignal(), this, viewValueChangedSlot);

    if (m_documentObject && m_viewObject && !m_viewToDocumentGuard)
        documentValueChanged();
}

void Binding::documentValueChanged()
{
    if (!m_viewToDocumentGuard)
        transfer(m_documentToViewGuard, m_documentProperty, m_documentObject, m_viewProperty,
            m_viewObject);
}

void Binding::viewValueChanged()
{
    if (!m_documentToViewGuard)
        transfer(m_viewToDocumentGuard, m_viewProperty, m_viewObject, m_documentProperty,
            m_documentObject);
}
