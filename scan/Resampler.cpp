#include "Resampler.h"

#include "VectorClones.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{

ResamplingTaps tapsFor(int source, int target, int border)
{
    const double f = double(target) / source;
    // Each level pixel's photograph pixels and their weights.
    std::vector<int> first(target);
    std::vector<std::vector<float>> weights(target);
    for (int d = 0; d < target; ++d) {
        if (f >= 1) {
            // Pixel centres: level pixel d sits at (d + 0.5) / f in the photograph.
            const double at = std::clamp((d + 0.5) / f - 0.5, 0.0, double(source - 1));
            const int i = static_cast<int>(at);
            first[d] = i;
            weights[d] = {static_cast<float>(1 - (at - i)), static_cast<float>(at - i)};
        } else {
            // Level pixel d covers [d / f, (d + 1) / f) of the photograph.
            const double a = d / f;
            const double b = std::min((d + 1) / f, double(source));
            first[d] = static_cast<int>(a);
            for (int i = first[d]; i < std::min(source, static_cast<int>(std::ceil(b))); ++i)
                weights[d].push_back(
                    static_cast<float>((std::min(b, i + 1.0) - std::max(a, double(i))) * f));
        }
    }
    ResamplingTaps taps;
    for (const std::vector<float>& w : weights)
        taps.count = std::max(taps.count, static_cast<int>(w.size()));
    taps.count = std::min(taps.count, source);
    // The border repeats the level's edge pixels: each of its pixels takes
    // the taps of the nearest level pixel.
    const int extended = target + 2 * border;
    taps.first.resize(extended);
    taps.weights.assign(static_cast<size_t>(taps.count) * extended, 0.0f);
    for (int e = 0; e < extended; ++e) {
        const int d = std::clamp(e - border, 0, target - 1);
        // Moved back where the photograph ends, the weights with it.
        const int shift = std::max(0, first[d] + taps.count - source);
        taps.first[e] = first[d] - shift;
        for (size_t k = 0; k < weights[d].size(); ++k) {
            if (shift + k < static_cast<size_t>(taps.count))
                taps.weights[static_cast<size_t>(e) * taps.count + shift + k] = weights[d][k];
        }
    }
    return taps;
}

// A pixel's four bytes as four floats, in the order of its bytes in memory:
// its colour channels and a fourth, never used, worked on side by side.
constexpr int kLanes = 4;
using Pixel = float __attribute__((vector_size(kLanes * sizeof(float))));

// The bytes of n pixels as floats.
OMBRE_VECTOR_CLONES void channelsOf(const QRgb* line, int n, float* __restrict out)
{
    const auto* bytes = reinterpret_cast<const uchar*>(line);
    for (int i = 0; i < kLanes * n; ++i)
        out[i] = static_cast<float>(bytes[i]);
}

OMBRE_INLINE Pixel pixelAt(const float* p)
{
    Pixel v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Level pixels left to left + width - 1 of one row, from the row's pixels
// from column from on, as channelsOf gives them: each channel the weighted
// sum of its taps, added in their order. N, the taps' count, is known to the
// compiler where it is small.
template <int N>
OMBRE_INLINE void resampleAcrossN(const float* __restrict in, int from, const ResamplingTaps& taps,
                                  int count, int left, int width, float* __restrict out)
{
    const int n = N > 0 ? N : count;
    for (int x = 0; x < width; ++x) {
        const float* pixel = in + static_cast<size_t>(taps.first[left + x] - from) * kLanes;
        const float* weight = taps.weights.data() + static_cast<size_t>(left + x) * n;
        Pixel sum = 0.0f + weight[0] * pixelAt(pixel);
        for (int k = 1; k < n; ++k)
            sum += weight[k] * pixelAt(pixel + k * kLanes);
        std::memcpy(out + static_cast<size_t>(x) * kLanes, &sum, sizeof sum);
    }
}

OMBRE_VECTOR_CLONES void resampleAcross(const float* in, int from, const ResamplingTaps& taps,
                                        int left, int width, float* out)
{
    switch (taps.count) {
    case 1: return resampleAcrossN<1>(in, from, taps, 1, left, width, out);
    case 2: return resampleAcrossN<2>(in, from, taps, 2, left, width, out);
    case 3: return resampleAcrossN<3>(in, from, taps, 3, left, width, out);
    case 4: return resampleAcrossN<4>(in, from, taps, 4, left, width, out);
    case 5: return resampleAcrossN<5>(in, from, taps, 5, left, width, out);
    case 6: return resampleAcrossN<6>(in, from, taps, 6, left, width, out);
    default: return resampleAcrossN<0>(in, from, taps, taps.count, left, width, out);
    }
}

// sum[i] = the weighted sum of rows[k][i] over the G rows, added to sum[i]
// when adding, for i < n: in the order of the rows, as one at a time would.
template <int G, typename T>
OMBRE_INLINE void addRows(bool adding, const T* const* rows, const float* weight, int n,
                          float* __restrict sum)
{
    const T* __restrict r[G];
    float w[G];
    for (int g = 0; g < G; ++g) {
        r[g] = rows[g];
        w[g] = weight[g];
    }
    for (int i = 0; i < n; ++i) {
        float s = (adding ? sum[i] : 0.0f) + w[0] * static_cast<float>(r[0][i]);
        for (int g = 1; g < G; ++g)
            s += w[g] * static_cast<float>(r[g][i]);
        sum[i] = s;
    }
}

// sum[i] = the sum of weight[k] * rows[k][i] over k < count, added in that
// order, for i < n. A weight of 0 adds nothing to sums of products of
// pixels and weights, which are never negative: only the rows from the
// first weight not 0 to the last are read.
template <typename T>
OMBRE_INLINE void weightedSumOf(const T* const* rows, const float* weight, int count, int n,
                                float* sum)
{
    int k = 0;
    while (count > 1 && weight[count - 1] == 0.0f)
        --count;
    while (k < count - 1 && weight[k] == 0.0f)
        ++k;
    for (bool adding = false; k < count; adding = true) {
        switch (std::min(count - k, 3)) {
        case 3: addRows<3>(adding, rows + k, weight + k, n, sum); k += 3; break;
        case 2: addRows<2>(adding, rows + k, weight + k, n, sum); k += 2; break;
        default: addRows<1>(adding, rows + k, weight + k, n, sum); k += 1; break;
        }
    }
}

// Of photograph rows: the bytes of their pixels, each a float on the way.
OMBRE_VECTOR_CLONES void weightedSum(const uchar* const* rows, const float* weight, int count,
                                     int n, float* sum)
{
    weightedSumOf(rows, weight, count, n, sum);
}

// Of rows resampled across.
OMBRE_VECTOR_CLONES void weightedSum(const float* const* rows, const float* weight, int count,
                                     int n, float* sum)
{
    weightedSumOf(rows, weight, count, n, sum);
}

// The pixels from the sums of their channels, rounded to the nearest level.
OMBRE_VECTOR_CLONES void packPixels(const float* sum, int width, QRgb* out)
{
    auto* bytes = reinterpret_cast<uchar*>(out);
    for (int i = 0; i < kLanes * width; ++i)
        bytes[i] = static_cast<uchar>(std::clamp(static_cast<int>(sum[i] + 0.5f), 0, 255));
    for (int x = 0; x < width; ++x)
        out[x] |= 0xff000000u;
}

} // namespace

LevelScaler::LevelScaler(const QImage& photo, QSize size, int border)
    : photo(photo), size(size), across(tapsFor(photo.width(), size.width(), border)),
      down(tapsFor(photo.height(), size.height(), border))
{
}

// A level row is a weighted sum of photograph rows. Where the level is
// taller than the photograph (fewer photograph rows than level rows), the
// rows are resampled across first, each once, and kept in a ring while the
// level rows that share it go down; otherwise the sum is taken straight
// from the photograph's bytes and resampled across after. Only the
// photograph columns that the level columns take are read.
void LevelScaler::rows(int top, int left, QImage& out) const
{
    const int width = out.width();
    const int from = across.first[left];
    const int source = across.first[left + width - 1] + across.count - from;
    const auto lineOf = [&](int row) {
        return reinterpret_cast<const QRgb*>(photo.constScanLine(row)) + from;
    };
    const float* const weights = down.weights.data();
    std::vector<float> resampled(kLanes * static_cast<size_t>(width));
    if (size.height() <= photo.height()) {
        std::vector<const uchar*> taken(down.count);
        std::vector<float> sum(kLanes * static_cast<size_t>(source));
        for (int y = 0; y < out.height(); ++y) {
            const int d = top + y;
            for (int k = 0; k < down.count; ++k)
                taken[k] = reinterpret_cast<const uchar*>(lineOf(down.first[d] + k));
            weightedSum(taken.data(), weights + static_cast<size_t>(d) * down.count, down.count,
                        kLanes * source, sum.data());
            resampleAcross(sum.data(), from, across, left, width, resampled.data());
            packPixels(resampled.data(), width, reinterpret_cast<QRgb*>(out.scanLine(y)));
        }
        return;
    }
    const size_t rowWidth = kLanes * static_cast<size_t>(width);
    std::vector<float> channels(kLanes * static_cast<size_t>(source));
    std::vector<float> ring(down.count * rowWidth);
    std::vector<int> inRing(down.count, -1);
    std::vector<const float*> taken(down.count);
    for (int y = 0; y < out.height(); ++y) {
        const int d = top + y;
        for (int k = 0; k < down.count; ++k) {
            const int row = down.first[d] + k;
            float* kept = ring.data() + row % down.count * rowWidth;
            if (inRing[row % down.count] != row) {
                channelsOf(lineOf(row), source, channels.data());
                resampleAcross(channels.data(), from, across, left, width, kept);
                inRing[row % down.count] = row;
            }
            taken[k] = kept;
        }
        weightedSum(taken.data(), weights + static_cast<size_t>(d) * down.count, down.count,
                    static_cast<int>(rowWidth), resampled.data());
        packPixels(resampled.data(), width, reinterpret_cast<QRgb*>(out.scanLine(y)));
    }
}

QImage resampled(const QImage& image, QSize size)
{
    if (image.isNull())
        return image;
    QImage out(size, QImage::Format_RGB32);
    if (out.isNull())
        return out;
    LevelScaler(image, size).rows(0, 0, out);
    return out;
}
