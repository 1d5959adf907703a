#include "HogScan.h"

#include "Pyramid.h"
#include "Resampler.h"

#include <QMargins>

#include <algorithm>
#include <numeric>

namespace
{

// The bytes a level pixel takes while a band is described: its colour and
// its share of the blocks (36 floats per 8x8 pixels).
constexpr double kBandBytesPerPixel =
    4 + double(kHogBlockLength) * sizeof(float) / (kHogCellSize * kHogCellSize);

// One level of the search: the photograph scaled, and the border of
// repeated edge pixels around it.
struct LevelPlan {
    QSize inner;
    int border = 0;
    QSize size; // inner and border on every side
};

LevelPlan planOf(QSize photo, double scale, const ScanSettings& settings)
{
    LevelPlan plan;
    plan.inner = levelSize(photo, scale);
    plan.border = levelBorder(settings.border, scale, settings.levelBorder);
    plan.size = plan.inner.grownBy(QMargins(plan.border, plan.border, plan.border, plan.border));
    return plan;
}

// Windows on the 8-pixel grid along a side of side pixels, every step-th
// taken: grid windows 0, step, 2 step, ...
int windowsAlong(int side, int window, int step)
{
    if (side < window)
        return 0;
    return ((side - window) / kHogCellSize) / step + 1;
}

// Taken window rows a band holds, so that its pixels and blocks take about
// tileBytes; at least one, at most the level's.
int bandRows(const LevelPlan& plan, const HogSettings& hog, int step, double tileBytes)
{
    const int down = windowsAlong(plan.size.height(), hog.windowHeight, step);
    const double rows = tileBytes / (kBandBytesPerPixel * plan.size.width());
    // A cell row of context above and below.
    const double spare = rows - hog.windowHeight - 2 * kHogCellSize;
    const double more = spare / (double(kHogCellSize) * step);
    return more < 1 ? 1 : static_cast<int>(std::min(more, double(std::max(down, 1) - 1))) + 1;
}

// The pixel rows of a level that a band of grid window rows [first, last]
// is described from: from a cell row above the first window (for the
// gradients of its top row) to a cell row below the last, inside the level.
// A block of the band is then exactly the level's: it sees the same pixels
// and the same neighbours.
struct BandRows {
    int top = 0;
    int height = 0;
};

BandRows bandRowsOf(int first, int last, int levelHeight, const HogSettings& hog)
{
    BandRows band;
    band.top = std::max(0, (first - 1) * kHogCellSize);
    const int bottom = std::min(levelHeight, last * kHogCellSize + hog.windowHeight + kHogCellSize);
    band.height = bottom - band.top;
    return band;
}

// Describes the band's pixel rows of the level into level, through pixels.
void describeBand(const LevelScaler& scaler, QSize size, const BandRows& band,
                  std::vector<QRgb>& pixels, HogLevel& level)
{
    pixels.resize(size_t(size.width()) * band.height);
    QImage image(reinterpret_cast<uchar*>(pixels.data()), size.width(), band.height,
                 size.width() * qsizetype(sizeof(QRgb)), QImage::Format_RGB32);
    scaler.rows(band.top, 0, image);
    level.describe(image);
}

} // namespace

std::vector<double> hogLevelScales(QSize photo, const Detector& detector,
                                   const ScanSettings& settings)
{
    return levelScales(photo, settings.minHeight, settings.scaleStep, settings.border,
                       settings.levelBorder, detector.hog.windowHeight,
                       detector.person.ymax - detector.person.ymin);
}

long long hogWindowCount(QSize photo, const Detector& detector, const ScanSettings& settings)
{
    const int step = settings.stride / kHogCellSize;
    long long windows = 0;
    for (double scale : hogLevelScales(photo, detector, settings)) {
        const QSize size = planOf(photo, scale, settings).size;
        windows +=
            static_cast<long long>(windowsAlong(size.width(), detector.hog.windowWidth, step)) *
            windowsAlong(size.height(), detector.hog.windowHeight, step);
    }
    return windows;
}

HogScanner::HogScanner(const Detector& detector, const ScanSettings& settings, double tileBytes)
    : detector(detector), settings(settings), tileBytes(tileBytes), level(detector.hog)
{
}

std::vector<HogFound> HogScanner::scan(const QImage& photo)
{
    std::vector<HogFound> found;
    const HogSettings& hog = detector.hog;
    const PhotoBox& person = detector.person;
    const int step = settings.stride / kHogCellSize;
    const std::vector<double> scales = hogLevelScales(photo.size(), detector, settings);
    // The largest level first: the memory it takes serves every other.
    for (int index = int(scales.size()) - 1; index >= 0; --index) {
        const LevelPlan plan = planOf(photo.size(), scales[size_t(index)], settings);
        const int across = windowsAlong(plan.size.width(), hog.windowWidth, step);
        const int down = windowsAlong(plan.size.height(), hog.windowHeight, step);
        if (across == 0 || down == 0)
            continue;
        const LevelScaler scaler(photo, plan.inner, plan.border);
        const double sx = double(photo.width()) / plan.inner.width();
        const double sy = double(photo.height()) / plan.inner.height();
        const int perBand = bandRows(plan, hog, step, tileBytes);
        for (int firstTaken = 0; firstTaken < down; firstTaken += perBand) {
            const int endTaken = std::min(down, firstTaken + perBand);
            const BandRows band =
                bandRowsOf(firstTaken * step, (endTaken - 1) * step, plan.size.height(), hog);
            describeBand(scaler, plan.size, band, pixels, level);
            level.scoreWindows(detector.weights, detector.bias, scores);
            const int shift = band.top / kHogCellSize;
            for (int taken = firstTaken; taken < endTaken; ++taken) {
                const int row = taken * step;
                const double* rowScores =
                    scores.data() + size_t(row - shift) * level.windowsAcross();
                for (int c = 0; c < across; ++c) {
                    const int column = c * step;
                    const double score = rowScores[column];
                    if (!(score >= settings.threshold))
                        continue;
                    const double x = double(column) * kHogCellSize - plan.border;
                    const double y = double(row) * kHogCellSize - plan.border;
                    HogFound f;
                    f.xmin = (x + person.xmin) * sx;
                    f.xmax = (x + person.xmax) * sx;
                    f.ymin = (y + person.ymin) * sy;
                    f.ymax = (y + person.ymax) * sy;
                    f.score = score;
                    f.place = HogPlace{index, column, row};
                    found.push_back(f);
                }
            }
        }
    }
    return found;
}

std::vector<std::vector<float>> HogScanner::features(const QImage& photo,
                                                     const std::vector<HogPlace>& places)
{
    std::vector<std::vector<float>> out(places.size());
    const int step = settings.stride / kHogCellSize;
    const std::vector<double> scales = hogLevelScales(photo.size(), detector, settings);
    // By level, then row: a band serves every place it holds.
    std::vector<size_t> order(places.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return std::make_pair(places[a].level, places[a].row) <
               std::make_pair(places[b].level, places[b].row);
    });
    size_t k = 0;
    while (k < order.size()) {
        const int index = places[order[k]].level;
        const LevelPlan plan = planOf(photo.size(), scales.at(size_t(index)), settings);
        const LevelScaler scaler(photo, plan.inner, plan.border);
        const int perBand = bandRows(plan, detector.hog, step, tileBytes);
        while (k < order.size() && places[order[k]].level == index) {
            const int first = places[order[k]].row;
            const int last = first + (perBand - 1) * step;
            const BandRows band = bandRowsOf(first, last, plan.size.height(), detector.hog);
            describeBand(scaler, plan.size, band, pixels, level);
            const int shift = band.top / kHogCellSize;
            for (; k < order.size() && places[order[k]].level == index &&
                   places[order[k]].row <= last;
                 ++k) {
                const HogPlace& p = places[order[k]];
                out[order[k]] = hogWindowFeatures(level, p.column, p.row - shift);
            }
        }
    }
    return out;
}
