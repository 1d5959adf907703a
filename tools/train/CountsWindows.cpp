#include "CountsWindows.h"

#include "BandDescriptor.h"
#include "PersonGeometry.h"
#include "Pyramid.h"
#include "Resampler.h"
#include "Window.h"

#include <algorithm>
#include <optional>

namespace
{

// The window of scan's pyramid whose person box is exactly box: the one the
// search gave it for, found again by its level's scale and its grid.
std::optional<WindowPlace> placeOfBox(QSize photo, const ScanSettings& scan, const PhotoBox& box)
{
    for (double scale :
         levelScales(photo, scan.minHeight, scan.scaleStep, scan.border, scan.levelBorder)) {
        const QSize level = levelSize(photo, scale);
        const int border = levelBorder(scan.border, scale, scan.levelBorder);
        const double sx = double(level.width()) / photo.width();
        const double sy = double(level.height()) / photo.height();
        const int x =
            static_cast<int>(std::lround((box.xmin + box.xmax) / 2 * sx - kWindowWidth / 2.0));
        const int y = static_cast<int>(std::lround(box.ymin * sy));
        if ((x + border) % scan.stride != 0 || (y + border) % scan.stride != 0)
            continue;
        const PhotoBox found = personInWindow(photo, level, x, y);
        if (found.xmin == box.xmin && found.ymin == box.ymin && found.xmax == box.xmax &&
            found.ymax == box.ymax)
            return WindowPlace{level, x, y, false};
    }
    return std::nullopt;
}

} // namespace

std::vector<float> windowCounts(const QImage& photo, const WindowPlace& place)
{
    const int border =
        std::max({0, -place.x, -place.y, place.x + kWindowWidth - place.level.width(),
                  place.y + kWindowHeight - place.level.height()});
    QImage window(kWindowWidth, kWindowHeight, QImage::Format_RGB32);
    LevelScaler(photo, place.level, border).rows(place.y + border, place.x + border, window);
    if (place.mirror)
        window = window.mirrored(true, false);
    int hist[kHistSize] = {};
    BandDescriptor(window, 0, kWindowHeight).addWindow(0, kWindowWidth, hist);
    return std::vector<float>(std::begin(hist), std::end(hist));
}

PhotoSamples sampleCountsPhoto(const QImage& photo, const std::vector<PersonBox>& people,
                               const ScanSettings& scan, const SampleSettings& settings,
                               std::uint32_t seed)
{
    const QSize window(kWindowWidth, kWindowHeight);
    const WindowGeometry geometry{window, personInWindow(window, window, 0, 0), scan.stride};
    const PhotoPlaces places = samplePlaces(
        photo.size(), people, geometry,
        levelScales(photo.size(), scan.minHeight, scan.scaleStep, scan.border, scan.levelBorder),
        scan, settings, seed);
    PhotoSamples samples;
    for (const WindowPlace& p : places.positives)
        samples.positives.push_back(windowCounts(photo, p));
    for (const WindowPlace& p : places.negatives)
        samples.negatives.push_back(windowCounts(photo, p));
    return samples;
}

MinedAlarms mineCountsAlarms(PhotoScanner& scanner, const ScanSettings& scan, const QImage& photo,
                             const std::vector<PersonBox>& people, int most)
{
    MinedAlarms mined;
    for (const ScoredBox& d : strongestAlarms(scanner.scan(photo), people, most, mined.found)) {
        if (const std::optional<WindowPlace> place = placeOfBox(photo.size(), scan, d))
            mined.features.push_back(windowCounts(photo, *place));
    }
    return mined;
}
