#include "OrientationBin.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{

constexpr int kMaxResponse = 1020;

int formulaBin(int X, int Y)
{
    const double pi = 3.141592653589793;
    const double angle = std::atan(static_cast<double>(Y) / static_cast<double>(X)) + pi / 2;
    return static_cast<int>(angle / pi * 8);
}

// For every X > 0 (a negative X gives the same quotients) and every bin b,
// the smallest Y whose bin is at least b; the cut is the smallest of the
// quotients Y / X so found.
std::array<float, 7> findCuts()
{
    std::array<float, 7> cuts;
    cuts.fill(std::numeric_limits<float>::infinity());
    std::array<int, 7> least{};
    for (int X = 1; X <= kMaxResponse; ++X) {
        for (int b = 1; b <= 7; ++b) {
            int& Y = least[b - 1];
            // The previous X's answer, scaled, is at most a step or two off.
            if (X > 1)
                Y = std::clamp(Y * X / (X - 1), -kMaxResponse, kMaxResponse + 1);
            while (Y > -kMaxResponse && formulaBin(X, Y - 1) >= b)
                --Y;
            while (Y <= kMaxResponse && formulaBin(X, Y) < b)
                ++Y;
            if (Y <= kMaxResponse)
                cuts[b - 1] = std::min(cuts[b - 1], static_cast<float>(Y) / static_cast<float>(X));
        }
    }
    return cuts;
}

} // namespace

const std::array<float, 7>& orientationCuts()
{
    static const std::array<float, 7> cuts = findCuts();
    return cuts;
}
