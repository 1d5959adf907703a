#include "WindowSamples.h"

#include "FalseAlarm.h"
#include "HogScan.h"
#include "Pyramid.h"
#include "Resampler.h"

#include <algorithm>
#include <cmath>

namespace
{

// A jittered copy moves by up to this share of the window each way, and is
// scaled by up to this share up or down.
constexpr double kJitterShift = 0.04;
constexpr double kJitterScale = 0.05;

// A uniform number in [-1, 1).
double signedUnit(std::mt19937& random)
{
    return std::uniform_real_distribution<double>(-1, 1)(random);
}

} // namespace

WindowDescriber::WindowDescriber(const Detector& detector) : detector(detector), work(detector.hog)
{
}

std::vector<float> WindowDescriber::describe(const QImage& photo, QSize level, int x, int y,
                                             bool mirror)
{
    // A cell's width of context all round: the window's blocks start one cell in.
    const int width = detector.hog.windowWidth;
    const int height = detector.hog.windowHeight;
    const int border =
        std::max({0, kHogCellSize - x, kHogCellSize - y, x + width + kHogCellSize - level.width(),
                  y + height + kHogCellSize - level.height()});
    QImage crop(width + 2 * kHogCellSize, height + 2 * kHogCellSize, QImage::Format_RGB32);
    LevelScaler(photo, level, border)
        .rows(y - kHogCellSize + border, x - kHogCellSize + border, crop);
    work.describe(mirror ? crop.mirrored(true, false) : crop);
    return hogWindowFeatures(work, 1, 1);
}

PhotoSamples samplePhoto(const QImage& photo, const std::vector<PersonBox>& people,
                         const Detector& detector, const ScanSettings& scan,
                         const SampleSettings& settings, std::uint32_t seed,
                         WindowDescriber& describer)
{
    PhotoSamples samples;
    std::mt19937 random(seed);
    const PhotoBox& inWindow = detector.person;
    const double personHeight = inWindow.ymax - inWindow.ymin;
    const double personX = (inWindow.xmin + inWindow.xmax) / 2;
    const double personY = (inWindow.ymin + inWindow.ymax) / 2;
    for (const PersonBox& p : people) {
        if (p.difficult || p.ymax - p.ymin < settings.minHeight)
            continue;
        // The person itself, mirrored, then the jittered copies, mirrored at random.
        for (int copy = 0; copy < 2 + settings.jitter; ++copy) {
            const bool jittered = copy >= 2;
            const double dx =
                jittered ? kJitterShift * detector.hog.windowWidth * signedUnit(random) : 0;
            const double dy =
                jittered ? kJitterShift * detector.hog.windowHeight * signedUnit(random) : 0;
            const double factor = jittered ? std::exp(kJitterScale * signedUnit(random)) : 1;
            const bool mirror = jittered ? random() % 2 == 1 : copy == 1;
            const double scale = personHeight / (p.ymax - p.ymin) * factor;
            const QSize level = levelSize(photo.size(), scale);
            const double sx = double(level.width()) / photo.width();
            const double sy = double(level.height()) / photo.height();
            const int x =
                static_cast<int>(std::lround((p.xmin + p.xmax) / 2.0 * sx - personX + dx));
            const int y =
                static_cast<int>(std::lround((p.ymin + p.ymax) / 2.0 * sy - personY + dy));
            samples.positives.push_back(describer.describe(photo, level, x, y, mirror));
        }
    }
    // Background windows where the search would look, on its levels and its grid.
    const std::vector<double> scales = hogLevelScales(photo.size(), detector, scan);
    if (scales.empty())
        return samples;
    const int width = detector.hog.windowWidth;
    const int height = detector.hog.windowHeight;
    for (int attempt = 0; attempt < 20 * settings.randomNegatives &&
                          static_cast<int>(samples.negatives.size()) < settings.randomNegatives;
         ++attempt) {
        const double scale = scales[random() % scales.size()];
        const QSize level = levelSize(photo.size(), scale);
        const int border = levelBorder(scan.border, scale, scan.levelBorder);
        const int columns = (level.width() + 2 * border - width) / kHogCellSize + 1;
        const int rows = (level.height() + 2 * border - height) / kHogCellSize + 1;
        if (columns < 1 || rows < 1)
            continue;
        const int x = static_cast<int>(random() % columns) * kHogCellSize - border;
        const int y = static_cast<int>(random() % rows) * kHogCellSize - border;
        const double sx = double(level.width()) / photo.width();
        const double sy = double(level.height()) / photo.height();
        const PhotoBox box{(x + inWindow.xmin) / sx, (y + inWindow.ymin) / sy,
                           (x + inWindow.xmax) / sx, (y + inWindow.ymax) / sy};
        if (clearOfPeople(box, people))
            samples.negatives.push_back(describer.describe(photo, level, x, y, false));
    }
    return samples;
}
