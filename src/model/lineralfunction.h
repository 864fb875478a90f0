#pragma once

#include <QObject>

// The linear mapping output = k * input + b placed between the two ends of
// a binding, so that a panel control can show a document value in its own
// units. Values outside a range are wrapped round into it, which makes a
// periodic mapping: a dial of range 0 to 360 can drive an angle without a
// jump at the seam.
class LineralFunction : public QObject
{
    Q_OBJECT
    Q_PROPERTY(qreal input READ input WRITE setInput NOTIFY inputChanged)
    Q_PROPERTY(qreal output READ output WRITE setOutput NOTIFY outputChanged)

public:
    LineralFunction(qreal k, qreal b, qreal inMin, qreal inMax, qreal outMin, qreal outMax,
        QObject *parent = nullptr);
    // Unbounded ranges: nothing is wrapped.
    LineralFunction(qreal k, qreal b, QObject *parent = nullptr);

    qreal input() const { return m_input; }
    qreal output() const { return m_output; }

    qreal k() const { return m_k; }
    qreal b() const { return m_b; }

    // Brings value into [min, max] by whole periods of (max - min).
    static qreal wrap(qreal value, qreal min, qreal max);

public Q_SLOTS:
    void setInput(qreal input);
    void setOutput(qreal output);

Q_SIGNALS:
    void inputChanged(qreal input);
    void outputChanged(qreal output);

private:
    qreal m_k;
    qreal m_b;
    qreal m_inMin;
    qreal m_inMax;
    qreal m_outMin;
    qreal m_outMax;
    qreal m_input = 0;
    qreal m_output = 0;
    // Until first set, any value counts as a change.
    bool m_inputSet = false;
    bool m_outputSet = false;
    bool m_inputGuard = false;
    bool m_outputGuard = false;
};
