#pragma once

#include "VectorClones.h"

#include <array>
#include <cstdint>

// The orientation bin of one colour channel from its two filter responses,
// X (change between the rows above and below) and Y (change between the
// columns left and right), both in -1020..1020: the integer part of
// (atan(Y / X) + pi / 2) / pi * 8 computed in double, and 4 when X is 0.
//
// The bin depends on X and Y only through the quotient Y / X ((-Y) / (-X)
// rounds to the same double) and never decreases as the quotient grows.
// Distinct quotients of such responses lie further apart than float rounding
// can bridge, so they keep their order as floats. The bin is
// therefore the number of cuts not above the float quotient, where cut b - 1
// is the smallest quotient of any response pair whose bin is at least b.

// The responses of one channel at a pixel from its eight neighbours: X is
// the row above (a, b, c, left to right) less the row below (d, e, f), and Y
// the column to the left (a, b, c, top to bottom) less the column to the
// right (d, e, f), the middle pixel counting twice in each. A neighbour
// outside the image counts 0.
OMBRE_INLINE int responseX(int a, int b, int c, int d, int e, int f)
{
    return (a - d) + 2 * (b - e) + (c - f);
}

OMBRE_INLINE int responseY(int a, int b, int c, int d, int e, int f)
{
    return (a + 2 * b + c) - (d + 2 * e + f);
}

// Y / X in float, and 0 (bin 4) when X is 0. Responses fit 16 bits; taking
// them so, with arithmetic rather than a branch, lets loops over many pixels
// run in vector registers.
OMBRE_INLINE float orientationQuotient(std::int16_t X, std::int16_t Y)
{
    const std::int16_t flat = X == 0;
    return static_cast<float>(static_cast<std::int16_t>(Y & (flat - 1))) /
           static_cast<float>(static_cast<std::int16_t>(X + flat));
}

// The seven cuts, found once with the arctangent formula over all responses.
const std::array<float, 7>& orientationCuts();

// The number of cuts not above quotient.
OMBRE_INLINE int binOfQuotient(float quotient, const std::array<float, 7>& cuts)
{
    const auto [c0, c1, c2, c3, c4, c5, c6] = cuts;
    return (quotient >= c0) + (quotient >= c1) + (quotient >= c2) + (quotient >= c3) +
           (quotient >= c4) + (quotient >= c5) + (quotient >= c6);
}

// A column's votes over a cell's rows are counted one byte per bin: at most
// 64 votes of a cell fit a byte, so the 8 counts of a cell are one 64-bit sum
// of its columns' votes. Bytes never carry; shifts, not the memory's byte
// order, place them.
OMBRE_INLINE std::uint64_t oneVote(int bin)
{
    return std::uint64_t(1) << (8 * bin);
}

// The 8 counts of a sum of votes, bin 0 first.
OMBRE_INLINE void countsOfVotes(std::uint64_t votes, std::uint8_t (&counts)[8])
{
    for (int b = 0; b < 8; ++b)
        counts[b] = static_cast<std::uint8_t>(votes >> (8 * b));
}

// Requires -1020 <= X, Y <= 1020. Ensures the result equals the formula above.
inline int orientationBin(int X, int Y)
{
    return binOfQuotient(
        orientationQuotient(static_cast<std::int16_t>(X), static_cast<std::int16_t>(Y)),
        orientationCuts());
}
