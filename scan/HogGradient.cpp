#include "HogGradient.h"

#include "HogSettings.h"
#include "VectorClones.h"

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

// The difference of one channel of two pixels, taken in integers and turned
// into a float once.
OMBRE_INLINE float difference(QRgb to, QRgb from, int shift)
{
    return float(int((to >> shift) & 0xff) - int((from >> shift) & 0xff));
}

// The gradient of one pixel from its four neighbours: of the red, green and
// blue channels' the longest, the first of equals, turned so that dy >= 0 (an
// orientation is unsigned). In floats, exact for these small integers, and
// without branches, so that a loop of them works on many pixels at once.
OMBRE_INLINE void gradient(QRgb left, QRgb right, QRgb up, QRgb down, float& dx, float& dy,
                           float& square)
{
    dx = difference(right, left, 16);
    dy = difference(down, up, 16);
    square = dx * dx + dy * dy;
    for (int shift : {8, 0}) {
        const float cx = difference(right, left, shift);
        const float cy = difference(down, up, shift);
        const float s = cx * cx + cy * cy;
        const bool longer = s > square;
        dx = longer ? cx : dx;
        dy = longer ? cy : dy;
        square = longer ? s : square;
    }
    const float turn = dy < 0 ? -1.0f : 1.0f;
    dx *= turn;
    dy *= turn;
}

} // namespace

OMBRE_VECTOR_CLONES void hogRowVotes(const QImage& image, int y, int width, HogRowVotes& votes)
{
    votes.bin.resize(width);
    votes.lower.resize(width);
    votes.upper.resize(width);
    votes.dx.resize(width);
    votes.index.resize(width);
    const int last = image.width() - 1;
    const auto* up = reinterpret_cast<const QRgb*>(image.constScanLine(std::max(y - 1, 0)));
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    const auto* down =
        reinterpret_cast<const QRgb*>(image.constScanLine(std::min(y + 1, image.height() - 1)));
    float* __restrict dx = votes.dx.data();
    float* __restrict length = votes.upper.data();
    std::int32_t* __restrict index = votes.index.data();
    // Table positions by index: worked out for many pixels at once with
    // their gradients, looked up one by one, then shared between bins for
    // many pixels at once again. The edge columns repeat themselves; the
    // loop between needs no clamps.
    const auto indexOf = [](float x, float y) {
        return static_cast<std::int32_t>(std::abs(x)) * kSpan + static_cast<std::int32_t>(y);
    };
    const int inner = std::min(width, last);
    for (int x = 1; x < inner; ++x) {
        float dy;
        gradient(row[x - 1], row[x + 1], up[x], down[x], dx[x], dy, length[x]);
        index[x] = indexOf(dx[x], dy);
    }
    for (int x : {0, last}) {
        if (x < width) {
            float dy;
            gradient(row[std::max(x - 1, 0)], row[std::min(x + 1, last)], up[x], down[x], dx[x],
                     dy, length[x]);
            index[x] = indexOf(dx[x], dy);
        }
    }
    const float* table = positionTable().data();
    float* __restrict lower = votes.lower.data();
    for (int x = 0; x < width; ++x)
        lower[x] = table[index[x]];
    std::int32_t* __restrict bin = votes.bin.data();
    for (int x = 0; x < width; ++x) {
        // A negative dx mirrors the angle to 180 - angle: position 8 - position.
        // Arithmetic rather than a choice keeps the loop on many pixels at once.
        const float mirrored = float(dx[x] < 0);
        float position = (1.0f - 2.0f * mirrored) * lower[x] + 8.0f * mirrored;
        position += float(kHogBins) * float(position < 0);
        const std::int32_t low = std::min(static_cast<std::int32_t>(position), kHogBins - 1);
        const float l = std::sqrt(length[x]);
        const float upper = l * (position - float(low));
        bin[x] = low;
        lower[x] = l - upper;
        length[x] = upper;
    }
}
