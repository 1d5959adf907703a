#pragma once

#include "Annotation.h"
#include "HogScan.h"

#include <QImage>

#include <vector>

// The false alarms a round of mining takes from one photograph.
struct MinedAlarms {
    std::vector<std::vector<float>> features; // of those kept, highest score first
    long long found = 0; // every window at the threshold or above, clear of people
};

// Searches photo with scanner (its threshold the least score of a false
// alarm) and keeps its false alarms, highest score first: windows clear of
// people (see clearOfPeople), a near-duplicate of a higher one dropped as
// ombre-detect's suppression drops it, at most most of them. Throws
// std::bad_alloc when memory runs out.
MinedAlarms mineFalseAlarms(HogScanner& scanner, const QImage& photo,
                            const std::vector<PersonBox>& people, int most);
