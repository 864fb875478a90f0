#pragma once

#include <QtGlobal>

#include <optional>

class QRandomGenerator64;

// The one generator every layout draws from. Seeded unpredictably by
// default; seeding it makes every layout of the run reproducible. Used on
// the GUI thread only, like the layouts that draw from it.
class RandomGenerator
{
public:
    static QRandomGenerator64 &instance();

    static void seed(quint64 seed);
    // Back to an unpredictable seed.
    static void reseed();
    static std::optional<quint64> fixedSeed();

    static quint32 draw32();
    static quint64 draw64();
    // An integer 0 ... 999: a 32-bit draw u scaled as floor(u * 1000 / 2^32).
    static int thousandth();
    // A uniform integer in [0, n) by rejection on the smallest power of two
    // not below n; 0 for n <= 1.
    static quint64 index(quint64 n);
};
