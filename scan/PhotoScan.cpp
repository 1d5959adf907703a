#include "PhotoScan.h"

#include "PersonGeometry.h"
#include "Pyramid.h"
#include "Resampler.h"
#include "Window.h"

#include <linear.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <tuple>

namespace
{

// The window rows of a band and the window columns of a tile, one part of
// a level that is described at once.
struct Tiling {
    int rows = 1;
    int columns = 1;
};

// The bytes a level pixel takes while it is described: its colour, channel
// levels and bin; the cells of each pair of row and column phases; the edge
// rows' and edge columns' cells of each phase and the edge columns' bins;
// and the corners and score of each window.
double bytesPerPixel(int stride)
{
    const double phases = kCellSize / std::gcd(stride, kCellSize);
    return 4 + 6 + 1 + phases * phases + (2 * 16 * phases + 4) / stride +
           24.0 / (double(stride) * stride);
}

// The pixels, along one side, that count windows stride apart take when cut
// into parts of at most per windows, each part with a window more either
// side where another part follows (see PhotoScanner::scan).
double partsLength(int count, int per, int stride, int window)
{
    const int parts = (count + per - 1) / per;
    const double windows = count + 2.0 * (parts - 1);
    return (windows - parts) * stride + double(parts) * window;
}

// How a level is cut into tiles, so that a tile takes at most tileBytes (or
// holds one window and its neighbours when even that takes more): of those,
// the one that describes the fewest pixels, the tallest when several do. A
// level that fits is one tile; one far wider than high is cut across too,
// or its bands would hold a window row each and describe each pixel row
// 200 / stride times.
Tiling tilingOf(QSize size, int stride, double tileBytes)
{
    const int rows = (size.height() - kWindowHeight) / stride + 1;
    const int columns = (size.width() - kWindowWidth) / stride + 1;
    const double pixels = tileBytes / bytesPerPixel(stride);
    Tiling best;
    double least = std::numeric_limits<double>::infinity();
    for (int k = 1; k <= rows; ++k) {
        const int margins = k < rows ? 2 : 0;
        const double wide = pixels / (double(k - 1 + margins) * stride + kWindowHeight);
        int perTile = columns;
        if (wide < double(columns - 1) * stride + kWindowWidth) {
            const double across = std::floor((wide - kWindowWidth) / stride) + 1 - 2;
            if (across < 1 && k > 1)
                break;
            perTile = static_cast<int>(std::clamp(across, 1.0, double(columns)));
        }
        const double described = partsLength(rows, k, stride, kWindowHeight) *
                                 partsLength(columns, perTile, stride, kWindowWidth);
        if (described <= least) {
            least = described;
            best = Tiling{k, perTile};
        }
    }
    return best;
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

PhotoScanner::PhotoScanner(const std::vector<double>& weights, const ScanSettings& settings,
                           double tileBytes)
    : weights(weights), settings(settings), tileBytes(tileBytes)
{
}

std::vector<ScoredBox> PhotoScanner::scan(const QImage& photo)
{
    std::vector<ScoredBox> found;
    const int stride = settings.stride;
    // The largest level first: the memory it takes serves every other.
    std::vector<double> scales = levelScales(photo.size(), settings.minHeight, settings.scaleStep,
                                             settings.border, settings.levelBorder);
    std::reverse(scales.begin(), scales.end());
    for (double scale : scales) {
        const QSize inner = levelSize(photo.size(), scale);
        const int border = levelBorder(settings.border, scale, settings.levelBorder);
        const QSize size = inner.grownBy(QMargins(border, border, border, border));
        if (size.width() < kWindowWidth || size.height() < kWindowHeight)
            continue;
        const LevelScaler scaler(photo, inner, border);
        const int rows = (size.height() - kWindowHeight) / stride + 1;
        const int columns = (size.width() - kWindowWidth) / stride + 1;
        const Tiling tiling = tilingOf(size, stride, tileBytes);
        // A window's score adds up its counts in parts that depend on the
        // pixels just outside it. A tile also holds the window beyond its own
        // either side where there is one, and the last tile of a band reaches
        // the level's right edge, so that every window scores as in a band
        // as wide as the level, to the last bit, wherever the tiles fall.
        for (int firstRow = 0; firstRow < rows; firstRow += tiling.rows) {
            const int fromRow = std::max(0, firstRow - 1);
            const int endRow = std::min(rows, firstRow + tiling.rows);
            const int toRow = std::min(rows, endRow + 1);
            const int height = (toRow - fromRow - 1) * stride + kWindowHeight;
            candidates.clear();
            for (int firstColumn = 0; firstColumn < columns; firstColumn += tiling.columns) {
                const int fromColumn = std::max(0, firstColumn - 1);
                const int endColumn = std::min(columns, firstColumn + tiling.columns);
                const int toColumn = std::min(columns, endColumn + 1);
                const int width = toColumn < columns
                                      ? (toColumn - fromColumn - 1) * stride + kWindowWidth
                                      : size.width() - fromColumn * stride;
                tile.resize(static_cast<size_t>(width) * height);
                QImage image(reinterpret_cast<uchar*>(tile.data()), width, height,
                             width * static_cast<qsizetype>(sizeof(QRgb)), QImage::Format_RGB32);
                scaler.rows(fromRow * stride, fromColumn * stride, image);
                level.describe(image, stride);
                scores.resize(static_cast<size_t>(level.rows()) * level.columns());
                level.scoreWindows(weights.data(), scores.data());
                for (int r = firstRow; r < endRow; ++r) {
                    for (int c = firstColumn; c < endColumn; ++c) {
                        const double score =
                            scores[static_cast<size_t>(r - fromRow) * level.columns() +
                                   (c - fromColumn)];
                        if (score >= settings.threshold)
                            candidates.push_back(Candidate{r, c, score});
                    }
                }
            }
            // Row by row across the band, as one tile would give them.
            std::sort(candidates.begin(), candidates.end(),
                      [](const Candidate& a, const Candidate& b) {
                          return std::tie(a.row, a.column) < std::tie(b.row, b.column);
                      });
            for (const Candidate& candidate : candidates) {
                found.push_back(
                    {personInWindow(photo.size(), inner, candidate.column * stride - border,
                                    candidate.row * stride - border),
                     candidate.score});
            }
        }
    }
    return found;
}

long long windowCount(QSize photo, const ScanSettings& settings)
{
    long long windows = 0;
    for (double scale : levelScales(photo, settings.minHeight, settings.scaleStep, settings.border,
                                    settings.levelBorder)) {
        const int border = levelBorder(settings.border, scale, settings.levelBorder);
        const QSize size =
            levelSize(photo, scale).grownBy(QMargins(border, border, border, border));
        if (size.width() >= kWindowWidth && size.height() >= kWindowHeight)
            windows += static_cast<long long>((size.width() - kWindowWidth) / settings.stride + 1) *
                       ((size.height() - kWindowHeight) / settings.stride + 1);
    }
    return windows;
}
