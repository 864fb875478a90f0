#include "expandedwidget.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>

ExpandedWidget::ExpandedWidget(QWidget *content, QWidget *parent)
    : QFrame(parent)
    , m_content(content)
    , m_animation(new QPropertyAnimation(this, "expandPhase", this))
{
    Q_ASSERT(content);
    m_content->setParent(this);
    setExpandPhase(0);
    m_content->installEventFilter(this);
}

ExpandedWidget::~ExpandedWidget()
{
    // The animation must not write the phase into a half-destroyed widget.
    m_animation->stop();
}

qreal ExpandedWidget::contentOpacity() const
{
    return m_opacityAnimationEnabled ? qMax(2.0 * (m_expandPhase - 0.5), 0.0) : 1.0;
}

QSize ExpandedWidget::sizeHint() const
{
    const QMargins margins = contentsMargins();
    QSize hint = m_content ? m_content->sizeHint() : QSize(0, 0);
    hint.rwidth() += margins.left() + margins.right();
    hint.rheight() += margins.top() + margins.bottom();
    hint.setHeight(int(hint.height() * m_expandPhase));
    return hint;
}

QSize ExpandedWidget::minimumSizeHint() const
{
    // The width of the content must stay available even while it is shut,
    // so that a panel keeps its width when its pages fold.
    const QMargins margins = contentsMargins();
    const int width = m_content ? qMax(0, m_content->minimumSizeHint().width()) : 0;
    return QSize(width + margins.left() + margins.right(), sizeHint().height());
}

void ExpandedWidget::setExpanded(bool expanded)
{
    if (m_expanded == expanded)
        return;
    m_expanded = expanded;
    m_animation->stop();
    const float target = expanded ? 1.0f : 0.0f;
    if (isVisible()) {
        m_animation->setStartValue(m_expandPhase);
        m_animation->setEndValue(target);
        m_animation->start();
    } else {
        setExpandPhase(target);
    }
    Q_EMIT expandChanged(expanded);
}

void ExpandedWidget::setExpandPhase(float phase)
{
    if (m_expandPhase == phase)
        return;
    m_expandPhase = phase;
    // Folded content must not be reachable with the keyboard.
    if (m_content)
        m_content->setVisible(phase > 0);
    updateGeometry();
    placeContent();
    updateOpacity();
    Q_EMIT expandPhaseChanged(phase);
}

void ExpandedWidget::enableOpacityAnimatioin(bool enable)
{
    if (enable == m_opacityAnimationEnabled)
        return;
    m_opacityAnimationEnabled = enable;
    updateOpacity();
}

bool ExpandedWidget::event(QEvent *event)
{
    if (event->type() == QEvent::LayoutRequest)
        placeContent();
    return QFrame::event(event);
}

bool ExpandedWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_content) {
        if (event->type() == QEvent::LayoutRequest) {
            // The content's own hint may have changed: our hint follows it.
            updateGeometry();
            placeContent();
        }
    }
    return QFrame::eventFilter(watched, event);
}

void ExpandedWidget::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    placeContent();
}

void ExpandedWidget::placeContent()
{
    if (!m_content)
        return;
    // The content keeps its full height and slides down from above:
    //
    //   phase 0.3   +-----------+ <- content top, h * (0.3 - 1) above
    //               |  hidden   |
    //   - - - - - - +-----------+ - - <- our contents rectangle
    //               |  shown    |
    //               +-----------+
    const QRect area = contentsRect();
    const int height = m_content->hasHeightForWidth() ? m_content->heightForWidth(area.width())
                                                      : m_content->sizeHint().height();
    const int y = area.top() + int(height * (m_expandPhase - 1));
    m_content->setGeometry(area.left(), y, area.width(), height);
}

void ExpandedWidget::updateOpacity()
{
    if (!m_content)
        return;
    const qreal opacity = contentOpacity();
    // Fully opaque content needs no effect, and folded content is hidden.
    if (opacity < 1.0 && m_expandPhase > 0) {
        if (!m_opacityEffect) {
            m_opacityEffect = new QGraphicsOpacityEffect(m_content);
            m_content->setGraphicsEffect(m_opacityEffect);
        }
        m_opacityEffect->setOpacity(opacity);
    } else if (m_opacityEffect) {
        // The content deletes its effect when it is replaced.
        m_content->setGraphicsEffect(nullptr);
    }
}
