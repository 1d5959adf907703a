#pragma once

#include "Annotation.h"
#include "PhotoBox.h"
#include "PhotoScan.h"

#include <QSize>

#include <cstdint>
#include <vector>

// The window a descriptor describes and where a person stands in it.
struct WindowGeometry {
    QSize window;    // level pixels
    PhotoBox person; // in the window's pixels
    int grid = 8;    // pixels between windows of a level, across and down
};

// A window of a photograph scaled to level: its top-left pixel (x, y) of
// that level (possibly past its edges), mirrored left to right when mirror
// is set.
struct WindowPlace {
    QSize level;
    int x = 0;
    int y = 0;
    bool mirror = false;
};

// How the windows of a photograph are taken.
struct SampleSettings {
    int minHeight = 40;       // people lower than this give no window
    int jitter = 4;           // moved and scaled copies of each person
    int randomNegatives = 10; // background windows at random
};

// The windows a photograph gives before any mining.
struct PhotoPlaces {
    std::vector<WindowPlace> positives;
    std::vector<WindowPlace> negatives;
};

// The windows of a photograph of size photo: each person at least
// settings.minHeight high and not difficult, scaled to fill geometry's
// person, then mirrored, then settings.jitter copies moved and scaled a
// little, mirrored at random; and background windows at random on the
// levels of scales (ascending, as the search takes them, each extended by
// scan's borders) and their grid, overlapping no person (every person, of
// any height) by more than kMostOverlapWithPeople. Drawn with random from a
// generator seeded by seed alone, the photograph's place in the training,
// so that they do not depend on the threads.
PhotoPlaces samplePlaces(QSize photo, const std::vector<PersonBox>& people,
                         const WindowGeometry& geometry, const std::vector<double>& scales,
                         const ScanSettings& scan, const SampleSettings& settings,
                         std::uint32_t seed);
