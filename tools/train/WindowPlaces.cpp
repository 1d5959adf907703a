#include "WindowPlaces.h"

#include "FalseAlarm.h"
#include "Pyramid.h"

#include <cmath>
#include <random>

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

PhotoPlaces samplePlaces(QSize photo, const std::vector<PersonBox>& people,
                         const WindowGeometry& geometry, const std::vector<double>& scales,
                         const ScanSettings& scan, const SampleSettings& settings,
                         std::uint32_t seed)
{
    PhotoPlaces places;
    std::mt19937 random(seed);
    const PhotoBox& inWindow = geometry.person;
    const int width = geometry.window.width();
    const int height = geometry.window.height();
    const double personHeight = inWindow.ymax - inWindow.ymin;
    const double personX = (inWindow.xmin + inWindow.xmax) / 2;
    const double personY = (inWindow.ymin + inWindow.ymax) / 2;
    for (const PersonBox& p : people) {
        if (p.difficult || p.ymax - p.ymin < settings.minHeight)
            continue;
        // The person itself, mirrored, then the jittered copies, mirrored at random.
        for (int copy = 0; copy < 2 + settings.jitter; ++copy) {
            const bool jittered = copy >= 2;
            const double dx = jittered ? kJitterShift * width * signedUnit(random) : 0;
            const double dy = jittered ? kJitterShift * height * signedUnit(random) : 0;
            const double factor = jittered ? std::exp(kJitterScale * signedUnit(random)) : 1;
            const bool mirror = jittered ? random() % 2 == 1 : copy == 1;
            const double scale = personHeight / (p.ymax - p.ymin) * factor;
            const QSize level = levelSize(photo, scale);
            const double sx = double(level.width()) / photo.width();
            const double sy = double(level.height()) / photo.height();
            const int x =
                static_cast<int>(std::lround((p.xmin + p.xmax) / 2.0 * sx - personX + dx));
            const int y =
                static_cast<int>(std::lround((p.ymin + p.ymax) / 2.0 * sy - personY + dy));
            places.positives.push_back({level, x, y, mirror});
        }
    }
    // Background windows where the search would look, on its levels and its grid.
    if (scales.empty())
        return places;
    const int grid = geometry.grid;
    for (int attempt = 0; attempt < 20 * settings.randomNegatives &&
                          static_cast<int>(places.negatives.size()) < settings.randomNegatives;
         ++attempt) {
        const double scale = scales[random() % scales.size()];
        const QSize level = levelSize(photo, scale);
        const int border = levelBorder(scan.border, scale, scan.levelBorder);
        const int columns = (level.width() + 2 * border - width) / grid + 1;
        const int rows = (level.height() + 2 * border - height) / grid + 1;
        if (columns < 1 || rows < 1)
            continue;
        const int x = static_cast<int>(random() % columns) * grid - border;
        const int y = static_cast<int>(random() % rows) * grid - border;
        const double sx = double(level.width()) / photo.width();
        const double sy = double(level.height()) / photo.height();
        const PhotoBox box{(x + inWindow.xmin) / sx, (y + inWindow.ymin) / sy,
                           (x + inWindow.xmax) / sx, (y + inWindow.ymax) / sy};
        if (clearOfPeople(box, people))
            places.negatives.push_back({level, x, y, false});
    }
    return places;
}
