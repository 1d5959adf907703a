#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// Draws of a seed and a photograph's name, the same on every machine and
// whatever other photographs there are.
class NameDraws
{
public:
    NameDraws(const QString& name, std::uint32_t seed);

    // The next draw, uniform over 64 bits.
    std::uint64_t next();

    // Uniform in [lo, hi], both ends included. Requires lo <= hi.
    int uniform(int lo, int hi);

    // Uniform in [lo, hi).
    double real(double lo, double hi);

private:
    std::uint64_t state;
};

// Which photographs go to the test set: round(share * count) of them, the
// ones whose names draw the lowest first numbers under seed. The rest are
// for training. Requires: names without repeats, 0 <= share <= 1.
std::vector<bool> chooseTestPhotos(const std::vector<QString>& names, double share,
                                   std::uint32_t seed);
