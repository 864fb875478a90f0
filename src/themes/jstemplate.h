#pragma once

#include <QByteArray>
#include <QJSValue>
#include <QPixmap>
#include <QSize>

#include "themes/template.h"

class QJSEngine;

// A template written as a small script. The file names itself by assigning
// `template.name` and defines `tune(theme)`, which sets the look of every
// theme made from it.
class JSTemplate : public Template
{
    Q_OBJECT
    Q_PROPERTY(QString themeId READ themeId WRITE setThemeId NOTIFY themeIdChanged)

public:
    JSTemplate(const QByteArray &script, const QByteArray &themeId, Document *document,
        QObject *parent = nullptr);

    QString themeId() const { return QString::fromUtf8(m_themeId); }
    QByteArray script() const { return m_script; }

    Theme *createTheme(Document *document) override;
    QByteArray templateId() const override;

    // The error the script last raised while evaluated or tuning, for
    // checking the library; users are never shown it.
    QString lastError() const { return m_lastError; }

    // The name a script gives itself, read without running it.
    static QString nameFromScript(const QByteArray &script);

public Q_SLOTS:
    void setThemeId(const QString &themeId);

Q_SIGNALS:
    void themeIdChanged(const QString &themeId);

private Q_SLOTS:
    void signalHandlerException(const QJSValue &exception);

private:
    void startEngine();
    void noteError(const QJSValue &result);

    QByteArray m_script;
    QByteArray m_themeId;
    QJSEngine *m_engine = nullptr;
    QString m_lastError;
};
