#include "HogGradient.h"

#include "HogSettings.h"

#include <algorithm>
#include <cmath>

namespace
{

// Differences of 8-bit channels lie in -255..255.
constexpr int kSpan = 256;

// position(X, Y) for X, Y in 0..255 at table[X * kSpan + Y]: the orientation
// in bin units, atan2(Y, X) / 20 degrees - 0.5, worked out in double once.
const std::vector<float>& positionTable()
{
    static const std::vector<float> table = [] {
        std::vector<float> t(kSpan * kSpan);
        const double degrees = 180.0 / 3.14159265358979323846;
        for (int X = 0; X < kSpan; ++X) {
            for (int Y = 0; Y < kSpan; ++Y)
                t[X * kSpan + Y] = static_cast<float>(std::atan2(Y, X) * degrees / 20.0 - 0.5);
        }
        return t;
    }();
    return table;
}

struct Channel {
    int dx;
    int dy;
};

inline int lengthSquared(Channel c)
{
    return c.dx * c.dx + c.dy * c.dy;
}

inline Channel channel(QRgb left, QRgb right, QRgb up, QRgb down, int shift)
{
    return {int((right >> shift) & 0xff) - int((left >> shift) & 0xff),
            int((down >> shift) & 0xff) - int((up >> shift) & 0xff)};
}

inline void vote(QRgb left, QRgb right, QRgb up, QRgb down, const float* table, std::uint8_t& bin,
                 float& lower, float& upper)
{
    Channel best = channel(left, right, up, down, 16);
    int bestLength = lengthSquared(best);
    for (int shift : {8, 0}) {
        const Channel c = channel(left, right, up, down, shift);
        const int length = lengthSquared(c);
        if (length > bestLength) {
            best = c;
            bestLength = length;
        }
    }
    // Orientations are unsigned: (dx, dy) and (-dx, -dy) are one. Turned into
    // dy >= 0, a negative dx mirrors the angle to 180 - angle, 8 - position.
    if (best.dy < 0) {
        best.dx = -best.dx;
        best.dy = -best.dy;
    }
    float position =
        best.dx >= 0 ? table[best.dx * kSpan + best.dy] : 8.0f - table[-best.dx * kSpan + best.dy];
    if (position < 0)
        position += kHogBins;
    const int low = std::min(static_cast<int>(position), 8);
    const float share = position - float(low);
    const float length = std::sqrt(float(bestLength));
    bin = static_cast<std::uint8_t>(low);
    upper = length * share;
    lower = length - upper;
}

} // namespace

void hogRowVotes(const QImage& image, int y, int width, HogRowVotes& votes)
{
    votes.bin.resize(width);
    votes.lower.resize(width);
    votes.upper.resize(width);
    const float* table = positionTable().data();
    const int last = image.width() - 1;
    const auto* up = reinterpret_cast<const QRgb*>(image.constScanLine(std::max(y - 1, 0)));
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    const auto* down =
        reinterpret_cast<const QRgb*>(image.constScanLine(std::min(y + 1, image.height() - 1)));
    for (int x = 0; x < width; ++x) {
        vote(row[std::max(x - 1, 0)], row[std::min(x + 1, last)], up[x], down[x], table,
             votes.bin[x], votes.lower[x], votes.upper[x]);
    }
}
