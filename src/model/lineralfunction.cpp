#include "lineralfunction.h"

#include <QtMath>

#include <limits>

namespace {

// Stores the first value, or one that differs; tells whether it did.
bool storeChanged(qreal &member, bool &set, qreal value)
{
    if (set && value == member)
        return false;
    member = value;
    set = true;
    return true;
}

} // namespace

LineralFunction::LineralFunction(
    qreal k, qreal b, qreal inMin, qreal inMax, qreal outMin, qreal outMax, QObject *parent)
    : QObject(parent)
    , m_k(k)
    , m_b(b)
    , m_inMin(inMin)
    , m_inMax(inMax)
    , m_outMin(outMin)
    , m_outMax(outMax)
{
}

LineralFunction::LineralFunction(qreal k, qreal b, QObject *parent)
    : LineralFunction(k, b, -std::numeric_limits<qreal>::infinity(),
        std::numeric_limits<qreal>::infinity(), -std::numeric_limits<qreal>::infinity(),
        std::numeric_limits<qreal>::infinity(), parent)
{
}

qreal LineralFunction::wrap(qreal value, qreal min, qreal max)
{
    // The same as adding (max - min) while below min and subtracting it
    // while above max, but in constant time and without hanging on an
    // infinite value or an empty range.
    if (!qIsFinite(value) || !(value < min || value > max))
        return value;
    const qreal period = max - min;
    if (!qIsFinite(period))
        return value;
    if (!(period > 0))
        return min;
    if (value < min) {
        const qreal rest = std::fmod(value - min, period); // in (-period, 0]
        return rest == 0 ? min : max + rest;
    }
    const qreal rest = std::fmod(value - max, period); // in [0, period)
    return rest == 0 ? max : min + rest;
}

void LineralFunction::setInput(qreal input)
{
    if (m_inputGuard)
        return;
    m_inputGuard = true;
    input = wrap(input, m_inMin, m_inMax);
    if (storeChanged(m_input, m_inputSet, input)) {
        Q_EMIT inputChanged(m_input);
        if (!m_outputGuard) {
            m_outputGuard = true;
            const qreal output = wrap(m_k * input + m_b, m_outMin, m_outMax);
            if (storeChanged(m_output, m_outputSet, output)) {
                // A wrapped output does not move the input back: the
                // input guard is still set.
                Q_EMIT outputChanged(m_output);
            }
            m_outputGuard = false;
        }
    }
    m_inputGuard = false;
}

void LineralFunction::setOutput(qreal output)
{
    if (m_outputGuard)
        return;
    m_outputGuard = true;
    output = wrap(output, m_outMin, m_outMax);
    if (storeChanged(m_output, m_outputSet, output)) {
        Q_EMIT outputChanged(m_output);
        // A constant mapping has no inverse; the input stays.
        if (m_k != 0)
            setInput((output - m_b) / m_k);
    }
    m_outputGuard = false;
}
