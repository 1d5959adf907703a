#include "WindowSamples.h"

#include "HogScan.h"
#include "Resampler.h"

#include <algorithm>

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
    const WindowGeometry geometry{QSize(detector.hog.windowWidth, detector.hog.windowHeight),
                                  detector.person, kHogCellSize};
    const PhotoPlaces places =
        samplePlaces(photo.size(), people, geometry, hogLevelScales(photo.size(), detector, scan),
                     scan, settings, seed);
    PhotoSamples samples;
    for (const WindowPlace& p : places.positives)
        samples.positives.push_back(describer.describe(photo, p.level, p.x, p.y, p.mirror));
    for (const WindowPlace& p : places.negatives)
        samples.negatives.push_back(describer.describe(photo, p.level, p.x, p.y, p.mirror));
    return samples;
}
