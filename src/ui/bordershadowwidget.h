#pragma once

#include <QFrame>
#include <QPointer>

// Draws an inner shadow along the edges of another widget (the editing
// window's graphics view). It lies above the target as a sibling, lets the
// mouse through and follows the target's geometry.
class BorderShadowWidget : public QFrame
{
    Q_OBJECT

public:
    explicit BorderShadowWidget(QWidget *target);

    QWidget *target() const { return m_target; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followTarget();

    QPointer<QWidget> m_target;
};
