#include "Random.h"

Random::Random(std::uint32_t seed, std::uint32_t stream, std::uint32_t item)
{
    std::seed_seq sequence{seed, stream, item};
    engine.seed(sequence);
}

int Random::uniform(int lo, int hi)
{
    const std::uint64_t range = std::uint64_t(std::int64_t(hi) - lo) + 1;
    // Rejecting the top of the 32-bit range keeps every value equally likely.
    const std::uint64_t limit = (std::uint64_t(1) << 32) / range * range;
    std::uint64_t value = engine();
    while (value >= limit)
        value = engine();
    return int(std::int64_t(lo) + std::int64_t(value % range));
}

double Random::real(double lo, double hi)
{
    const std::uint64_t high = engine() >> 5;
    const std::uint64_t low = engine() >> 6;
    const double unit = double((high << 26) | low) / double(std::uint64_t(1) << 53);
    return lo + (hi - lo) * unit;
}

bool Random::chance(double p)
{
    return real(0.0, 1.0) < p;
}

double Random::bell()
{
    // The sum of three uniforms is close enough to normal for noise and
    // jitter, needs no library function whose last bit may vary, and one
    // draw holds all three, which matters with a draw per pixel.
    const std::uint32_t value = engine();
    double sum = 0.0;
    for (int shift = 0; shift < 30; shift += 10)
        sum += double((value >> shift) & 1023u) + 0.5;
    return sum / 512.0 - 3.0;
}
