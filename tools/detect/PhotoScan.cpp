#include "PhotoScan.h"

#include "Pyramid.h"
#include "StripGeometry.h"

#include <linear.h>

#include <algorithm>
#include <numeric>

namespace
{

// A level is described a band of window rows at a time, so that a large
// photograph scaled up for small people never needs all of its level at
// once. A band takes about this much memory; every level of a 640x480
// photograph at the default stride fits one band.
constexpr double kBandBytes = 64.0 * (1 << 20);

// Window rows per band of a level width columns wide. The bytes a level
// pixel takes while it is described: its colour, channel levels and bin; the
// cells of each pair of row and column phases; the edge rows' and edge
// columns' cells of each phase and the edge columns' bins; and the corners
// and score of each window.
int windowRowsPerBand(int width, int stride)
{
    const double phases = kCellSize / std::gcd(stride, kCellSize);
    const double perPixel = 4 + 6 + 1 + phases * phases + (2 * 16 * phases + 4) / stride +
                            24.0 / (double(stride) * stride);
    const double rows = kBandBytes / (perPixel * width);
    return std::max(1, static_cast<int>((rows - kWindowHeight) / stride) + 1);
}

} // namespace

std::vector<double> objectWeights(const model& m)
{
    const double sign = m.label[0] >= 0 ? 1.0 : -1.0;
    std::vector<double> w(kHistSize);
    for (int j = 0; j < kHistSize; ++j)
        w[j] = sign * m.w[j];
    return w;
}

Detection personBox(QSize photo, QSize level, int x, int y)
{
    const double sx = double(level.width()) / photo.width();
    const double sy = double(level.height()) / photo.height();
    const double centre = x + kWindowWidth / 2.0;
    const double halfWidth = kPersonAspect * kPersonHeight / 2;
    Detection box;
    box.xmin = (centre - halfWidth) / sx;
    box.xmax = (centre + halfWidth) / sx;
    box.ymin = y / sy;
    box.ymax = (y + kPersonHeight) / sy;
    return box;
}

PhotoScanner::PhotoScanner(const std::vector<double>& weights, const ScanSettings& settings)
    : weights(weights), settings(settings)
{
}

std::vector<Detection> PhotoScanner::scan(const QImage& photo)
{
    std::vector<Detection> found;
    const int stride = settings.stride;
    // The largest level first: the memory it takes serves every other.
    std::vector<double> scales = levelScales(photo.size(), settings.minHeight, settings.scaleStep);
    std::reverse(scales.begin(), scales.end());
    for (double scale : scales) {
        const QSize size = levelSize(photo.size(), scale);
        if (size.width() < kWindowWidth || size.height() < kWindowHeight)
            continue;
        const LevelScaler scaler(photo, size);
        const int rows = (size.height() - kWindowHeight) / stride + 1;
        const int perBand = windowRowsPerBand(size.width(), stride);
        for (int first = 0; first < rows; first += perBand) {
            const int count = std::min(perBand, rows - first);
            const int top = first * stride;
            const int height = (count - 1) * stride + kWindowHeight;
            band.resize(static_cast<size_t>(size.width()) * height);
            QImage image(reinterpret_cast<uchar*>(band.data()), size.width(), height,
                         size.width() * static_cast<qsizetype>(sizeof(QRgb)), QImage::Format_RGB32);
            scaler.rows(top, 0, image);
            level.describe(image, stride);
            scores.resize(static_cast<size_t>(level.rows()) * level.columns());
            level.scoreWindows(weights.data(), scores.data());
            for (int r = 0; r < level.rows(); ++r) {
                for (int c = 0; c < level.columns(); ++c) {
                    const double score = scores[static_cast<size_t>(r) * level.columns() + c];
                    if (score < settings.threshold)
                        continue;
                    Detection box = personBox(photo.size(), size, c * stride, top + r * stride);
                    box.score = score;
                    found.push_back(box);
                }
            }
        }
    }
    return found;
}

bool hasWindows(QSize photo, const ScanSettings& settings)
{
    for (double scale : levelScales(photo, settings.minHeight, settings.scaleStep)) {
        const QSize size = levelSize(photo, scale);
        if (size.width() >= kWindowWidth && size.height() >= kWindowHeight)
            return true;
    }
    return false;
}
