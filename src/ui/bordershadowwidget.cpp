#include "bordershadowwidget.h"

#include <QEvent>

BorderShadowWidget::BorderShadowWidget(QWidget *target)
    : QFrame(target->parentWidget())
    , m_target(target)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setStyleSheet(QStringLiteral("border-image: url(:/innerShadow.png) 15; border: 15"));
    target->installEventFilter(this);
    // Without the target the shadow has nothing to decorate.
    connect(target, &QObject::destroyed, this, &QObject::deleteLater);
    followTarget();
    // A widget without a parent would become a window of its own.
    if (parentWidget())
        setVisible(!target->isHidden());
}

bool BorderShadowWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_target) {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Move:
            followTarget();
            break;
        case QEvent::Show:
            if (parentWidget())
                show();
            followTarget();
            break;
        case QEvent::Hide:
            hide();
            break;
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void BorderShadowWidget::followTarget()
{
    if (!m_target)
        return;
    setGeometry(m_target->geometry());
    raise();
}
