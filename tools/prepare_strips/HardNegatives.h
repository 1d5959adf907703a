#pragma once

#include "Annotation.h"
#include "FalseAlarm.h"
#include "PhotoScan.h"

#include <QImage>
#include <QRect>

#include <vector>

// A false alarm of a model: the 80x200 window it scored, in photograph
// pixels, rounded and inside the photograph.
struct HardNegative {
    QRect window;
    double score = 0;
};

// What mining counts over its photographs.
struct MiningCount {
    long long searched = 0; // windows scored
    long long found = 0;    // of those, false alarms: at the least score or above, clear of people
    long long distinct = 0; // false alarms left when near-duplicates are dropped
    long long kept = 0;     // false alarms kept
};

// Searches photo with scanner as ombre-detect does (settings are the
// scanner's, their threshold the least score of a false alarm) and returns
// its false alarms, highest score first: windows whose person box overlaps
// none of people by more than kMostOverlapWithPeople, a near-duplicate of a
// higher one dropped as ombre-detect's suppression drops it with nms, at
// most most of them. Adds what it saw to count. Throws std::bad_alloc when
// memory runs out.
std::vector<HardNegative> mineHardNegatives(PhotoScanner& scanner, const ScanSettings& settings,
                                            const QImage& photo,
                                            const std::vector<PersonBox>& people, double nms,
                                            int most, MiningCount& count);
