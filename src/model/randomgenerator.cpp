#include "randomgenerator.h"

#include <QRandomGenerator64>

namespace {

struct State
{
    QRandomGenerator64 generator { QRandomGenerator64::securelySeeded() };
    std::optional<quint64> seed;
};

State &state()
{
    static State s;
    return s;
}

} // namespace

QRandomGenerator64 &RandomGenerator::instance()
{
    return state().generator;
}

void RandomGenerator::seed(quint64 seed)
{
    state().seed = seed;
    const quint32 words[2] = { quint32(seed), quint32(seed >> 32) };
    state().generator = QRandomGenerator64(words, 2);
}

void RandomGenerator::reseed()
{
    state().seed.reset();
    state().generator = QRandomGenerator64::securelySeeded();
}

std::optional<quint64> RandomGenerator::fixedSeed()
{
    return state().seed;
}

quint32 RandomGenerator::draw32()
{
    return instance().generate();
}

quint64 RandomGenerator::draw64()
{
    return instance().generate64();
}

int RandomGenerator::thousandth()
{
    return int((quint64(draw32()) * 1000) >> 32);
}

quint64 RandomGenerator::index(quint64 n)
{
    if (n <= 1)
        return 0;
    quint64 mask = 1;
    while (mask < n)
        mask <<= 1;
    --mask;
    quint64 value;
    do {
        value = draw64() & mask;
    } while (value >= n);
    return value;
}
