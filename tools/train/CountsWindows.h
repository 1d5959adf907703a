#pragma once

#include "Annotation.h"
#include "FalseAlarms.h"
#include "PhotoScan.h"
#include "WindowPlaces.h"
#include "WindowSamples.h"

#include <QImage>

#include <cstdint>
#include <vector>

// The counts descriptor's windows of a photograph, in the geometry that
// ombre-detect searches a plain model with: 80x200 windows, a person 195
// rows high from the window's top, centred across (see personInWindow).
// Each window is cut from its level as the search's LevelScaler makes it,
// its edge pixels repeated past the photograph's edges, and its counts are
// the plain descriptor's of that 80x200 image: exactly those that the
// search scores, which describes whole levels but counts each window as if
// it stood alone. Requires photo Format_RGB32 or Format_ARGB32.

// The 2000 counts of the window at place.
std::vector<float> windowCounts(const QImage& photo, const WindowPlace& place);

// The windows of one photograph (see samplePlaces) on the levels and the
// grid that PhotoScanner searches with scan.
PhotoSamples sampleCountsPhoto(const QImage& photo, const std::vector<PersonBox>& people,
                               const ScanSettings& scan, const SampleSettings& settings,
                               std::uint32_t seed);

// Searches photo with scanner, whose settings are scan (their threshold the
// least score of a false alarm), and keeps its strongestAlarms, each as the
// counts of the window it scored. Throws std::bad_alloc when memory runs
// out.
MinedAlarms mineCountsAlarms(PhotoScanner& scanner, const ScanSettings& scan, const QImage& photo,
                             const std::vector<PersonBox>& people, int most);
