#pragma once

#include <cstdint>
#include <random>

// Seeded random numbers that come out the same with every standard library:
// std::mt19937 and std::seed_seq are defined bit for bit, the standard
// distributions are not, so the distributions here are our own. Callers take
// each draw in a statement of its own: the order in which a call's arguments
// are evaluated differs between compilers.
class Random
{
public:
    // A generator for one item of one stream (say, test image 7 of seed 1),
    // so that the number of training images does not shift the test images.
    Random(std::uint32_t seed, std::uint32_t stream, std::uint32_t item);

    // Uniform in [lo, hi], both ends included. Requires lo <= hi.
    int uniform(int lo, int hi);

    // Uniform in [lo, hi).
    double real(double lo, double hi);

    // True with probability p.
    bool chance(double p);

    // Bell-shaped, mean 0 and deviation about 1, within [-3, 3].
    double bell();

private:
    std::mt19937 engine;
};
