#include "Resampler.h"

#include "VectorClones.h"

#include <algorithm>
#include <cmath>

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
    taps.pixels.resize(static_cast<size_t>(taps.count) * extended);
    taps.weights.assign(taps.pixels.size(), 0.0f);
    for (int e = 0; e < extended; ++e) {
        const int d = std::clamp(e - border, 0, target - 1);
        // Moved back where the photograph ends, the weights with it.
        const int shift = std::max(0, first[d] + taps.count - source);
        taps.first[e] = first[d] - shift;
        for (int k = 0; k < taps.count; ++k)
            taps.pixels[static_cast<size_t>(k) * extended + e] = taps.first[e] + k;
        for (size_t k = 0; k < weights[d].size(); ++k) {
            if (shift + k < static_cast<size_t>(taps.count))
                taps.weights[(shift + k) * extended + e] = weights[d][k];
        }
    }
    return taps;
}

// The three channels of n pixels as floats: red, then green, then blue.
OMBRE_VECTOR_CLONES void channelsOf(const QRgb* line, int n, float* out)
{
    for (int x = 0; x < n; ++x) {
        out[x] = static_cast<float>(qRed(line[x]));
        out[n + x] = static_cast<float>(qGreen(line[x]));
        out[2 * n + x] = static_cast<float>(qBlue(line[x]));
    }
}

// sum[x] = weight[x] * in[pixel[x] - from], or plus that when adding, for
// x < n.
OMBRE_INLINE void addTaps(bool adding, const float* __restrict in, int from,
                          const int* __restrict pixel, const float* __restrict weight, int n,
                          float* __restrict sum)
{
    for (int x = 0; x < n; ++x)
        sum[x] = (adding ? sum[x] : 0.0f) + weight[x] * in[pixel[x] - from];
}

// Level pixels left to left + width - 1 of one photograph row, each channel
// on its own, from the row's source pixels from column from on, their
// channels as channelsOf gives them.
OMBRE_VECTOR_CLONES void resampleAcross(const float* channels, int source, int from,
                                        const ResamplingTaps& taps, int left, int width, float* out)
{
    const size_t size = taps.first.size();
    for (int channel = 0; channel < 3; ++channel) {
        for (int k = 0; k < taps.count; ++k) {
            const size_t at = k * size + left;
            addTaps(k > 0, channels + channel * source, from, taps.pixels.data() + at,
                    taps.weights.data() + at, width, out + channel * width);
        }
    }
}

// sum[i] = weight * row[i], or plus that when adding, for i < n.
OMBRE_VECTOR_CLONES void addWeighted(bool adding, const float* row, float weight, int n, float* sum)
{
    for (int i = 0; i < n; ++i)
        sum[i] = (adding ? sum[i] : 0.0f) + weight * row[i];
}

// The pixels from the sums of their channels, rounded to the nearest level.
OMBRE_VECTOR_CLONES void packPixels(const float* sum, int width, QRgb* out)
{
    for (int x = 0; x < width; ++x) {
        const auto level = [](float v) {
            return static_cast<QRgb>(std::clamp(static_cast<int>(v + 0.5f), 0, 255));
        };
        out[x] = 0xff000000u | level(sum[x]) << 16 | level(sum[width + x]) << 8 |
                 level(sum[2 * width + x]);
    }
}

} // namespace

LevelScaler::LevelScaler(const QImage& photo, QSize size, int border)
    : photo(photo), size(size), across(tapsFor(photo.width(), size.width(), border)),
      down(tapsFor(photo.height(), size.height(), border))
{
}

// A level row is a weighted sum of photograph rows, each worked out once
// and kept in a ring while the level rows that share it go down. The rows are
// resampled across before they are summed where the level is taller than
// the photograph (fewer photograph rows than level rows), after that
// otherwise. Only the photograph columns that the level columns take are
// read.
void LevelScaler::rows(int top, int left, QImage& out) const
{
    const int width = out.width();
    const int from = across.first[left];
    const int source = across.first[left + width - 1] + across.count - from;
    const bool acrossFirst = size.height() > photo.height();
    const size_t sumWidth = 3 * static_cast<size_t>(acrossFirst ? width : source);
    std::vector<float> channels(3 * static_cast<size_t>(source));
    std::vector<float> ring(down.count * sumWidth);
    std::vector<int> inRing(down.count, -1);
    std::vector<float> sum(sumWidth);
    std::vector<float> resampled(3 * static_cast<size_t>(width));
    for (int y = 0; y < out.height(); ++y) {
        const int d = top + y;
        for (int k = 0; k < down.count; ++k) {
            const int row = down.first[d] + k;
            float* kept = ring.data() + row % down.count * sumWidth;
            if (inRing[row % down.count] != row) {
                const QRgb* line = reinterpret_cast<const QRgb*>(photo.constScanLine(row)) + from;
                if (acrossFirst) {
                    channelsOf(line, source, channels.data());
                    resampleAcross(channels.data(), source, from, across, left, width, kept);
                } else {
                    channelsOf(line, source, kept);
                }
                inRing[row % down.count] = row;
            }
            addWeighted(k > 0, kept, down.weights[k * down.first.size() + d],
                        static_cast<int>(sumWidth), sum.data());
        }
        if (!acrossFirst)
            resampleAcross(sum.data(), source, from, across, left, width, resampled.data());
        packPixels(acrossFirst ? sum.data() : resampled.data(), width,
                   reinterpret_cast<QRgb*>(out.scanLine(y)));
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
