#include "recentsmenu.h"

#include <QEvent>
#include <QFileInfo>

#include "app/application.h"

RecentsMenu::RecentsMenu(QWidget *parent)
    : QMenu(parent)
{
    m_separator = addSeparator();
    m_clearAction = addAction(QString());
    retranslate();

    auto *app = Application::instance();
    connect(m_clearAction, &QAction::triggered, app, &Application::clearRecents);
    connect(app, &Application::recentFilesChanged, this, &RecentsMenu::updateRecents);
    // Files come and go while the program runs: look again each time.
    connect(this, &QMenu::aboutToShow, this, &RecentsMenu::refreshAvailability);
    updateRecents();
}

void RecentsMenu::retranslate()
{
    setTitle(tr("Open &recent"));
    m_clearAction->setText(tr("&Clear menu"));
}

void RecentsMenu::updateRecents()
{
    const QStringList recents = Application::instance()->recentFiles();
    m_clearAction->setEnabled(!recents.isEmpty());

    while (m_fileActions.size() < recents.size()) {
        auto *action = new QAction(this);
        connect(action, &QAction::triggered, this, &RecentsMenu::openRecentTriggered);
        insertAction(m_separator, action);
        m_fileActions.append(action);
    }
    while (m_fileActions.size() > recents.size()) {
        QAction *surplus = m_fileActions.takeLast();
        removeAction(surplus);
        surplus->deleteLater();
    }
    for (int i = 0; i < recents.size(); ++i) {
        QAction *action = m_fileActions.at(i);
        action->setText(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(recents.at(i)).fileName()));
        action->setToolTip(recents.at(i));
        action->setVisible(true);
    }
    refreshAvailability();
}

void RecentsMenu::refreshAvailability()
{
    for (QAction *action : std::as_const(m_fileActions)) {
        const bool exists = QFileInfo(action->toolTip()).isFile();
        action->setEnabled(exists);
        action->setStatusTip(
            exists ? action->toolTip() : tr("%1 (file not found)").arg(action->toolTip()));
    }
}

void RecentsMenu::openRecentTriggered()
{
    if (auto *action = qobject_cast<QAction *>(sender()))
        Application::instance()->openFile(action->toolTip());
}

void RecentsMenu::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QMenu::changeEvent(event);
}
