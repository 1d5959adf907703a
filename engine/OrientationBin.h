#pragma once

#include <array>

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

// Y / X in float, and 0 (bin 4) when X is 0.
inline float orientationQuotient(int X, int Y)
{
    return X != 0 ? static_cast<float>(Y) / static_cast<float>(X) : 0.0f;
}

// The seven cuts, found once with the arctangent formula over all responses.
const std::array<float, 7>& orientationCuts();

inline int binOfQuotient(float quotient, const std::array<float, 7>& cuts)
{
    int bin = 0;
    for (float cut : cuts)
        bin += quotient >= cut;
    return bin;
}

// Requires -1020 <= X, Y <= 1020. Ensures the result equals the formula above.
inline int orientationBin(int X, int Y)
{
    return binOfQuotient(orientationQuotient(X, Y), orientationCuts());
}
