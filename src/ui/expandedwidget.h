#pragma once

#include <QFrame>
#include <QPointer>

class QGraphicsOpacityEffect;
class QPropertyAnimation;

// Folds a content widget open and shut. The widget's height hint is the
// content's height hint times the expand phase (0 shut, 1 open), and the
// content slides down from above as the phase grows, so a layout around it
// follows the animation smoothly. With the opacity animation on, the
// content stays transparent for the first half of opening and fades in
// during the second.
//
// The opacity effect is attached only while the content is partly
// transparent: widget graphics effects cannot be nested (the inner one
// paints on a device the outer one is painting), and folds do nest, as a
// settings group inside an accordion page.
class ExpandedWidget : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(bool expanded READ expanded WRITE setExpanded NOTIFY expandChanged)
    Q_PROPERTY(float expandPhase READ expandPhase WRITE setExpandPhase NOTIFY expandPhaseChanged)
    Q_PROPERTY(
        bool opacityAnimationEnabled READ opacityAnimationEnabled WRITE enableOpacityAnimatioin)

public:
    ExpandedWidget(QWidget *content, QWidget *parent = nullptr);
    ~ExpandedWidget() override;

    bool expanded() const { return m_expanded; }
    float expandPhase() const { return m_expandPhase; }
    bool opacityAnimationEnabled() const { return m_opacityAnimationEnabled; }
    // The opacity the content is drawn with: max(2 * (phase - 0.5), 0) with
    // the opacity animation on, else 1.
    qreal contentOpacity() const;

    QWidget *content() const { return m_content; }
    QPropertyAnimation *animation() const { return m_animation; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public Q_SLOTS:
    void setExpanded(bool expanded);
    void setExpandPhase(float phase);
    void enableOpacityAnimatioin(bool enable);

Q_SIGNALS:
    void expandChanged(bool expanded);
    void expandPhaseChanged(float phase);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeContent();
    void updateOpacity();

    QPointer<QWidget> m_content;
    bool m_expanded = false;
    float m_expandPhase = -1;
    QPropertyAnimation *m_animation;
    bool m_opacityAnimationEnabled = false;
    QPointer<QGraphicsOpacityEffect> m_opacityEffect;
};
