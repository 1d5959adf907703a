#include "Pyramid.h"

#include <algorithm>
#include <cmath>

std::vector<double> levelScales(QSize photo, int minHeight, double step, int border, int extra,
                                int windowHeight, double personHeight)
{
    const int height = photo.height();
    if (height < minHeight || height <= 0)
        return {};
    const double least = double(std::max(windowHeight - 2 * extra, 1)) / (height + 2 * border);
    const double most = std::max(least, personHeight / minHeight);
    // A ratio that is a power of step, give or take rounding, needs no extra level.
    const int steps = static_cast<int>(std::ceil(std::log(most / least) / std::log(step) - 1e-9));
    std::vector<double> scales{least};
    for (int k = 1; k <= steps; ++k)
        scales.push_back(least * std::pow(most / least, double(k) / steps));
    return scales;
}

QSize levelSize(QSize photo, double scale)
{
    return QSize(std::max(1, static_cast<int>(std::lround(photo.width() * scale))),
                 std::max(1, static_cast<int>(std::lround(photo.height() * scale))));
}

int levelBorder(int border, double scale, int extra)
{
    return static_cast<int>(std::lround(border * scale)) + extra;
}
