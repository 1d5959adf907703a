#pragma once

#include "Annotation.h"
#include "FalseAlarm.h"
#include "HogScan.h"
#include "Suppression.h"

#include <QImage>

#include <algorithm>
#include <vector>

// The false alarms a round of mining takes from one photograph.
struct MinedAlarms {
    std::vector<std::vector<float>> features; // of those kept, highest score first
    long long found = 0; // every window at the threshold or above, clear of people
};

// The false alarms among windows that a search found (ScoredBox or a kind
// of it), highest score first: windows clear of people (see clearOfPeople),
// a near-duplicate of a higher one dropped as ombre-detect's suppression
// drops it, at most most of them. Sets found to the count of those clear
// of people.
template <class Found>
std::vector<Found> strongestAlarms(std::vector<Found> alarms, const std::vector<PersonBox>& people,
                                   int most, long long& found)
{
    alarms.erase(std::remove_if(alarms.begin(), alarms.end(),
                                [&](const Found& d) { return !clearOfPeople(d, people); }),
                 alarms.end());
    found = static_cast<long long>(alarms.size());
    std::stable_sort(alarms.begin(), alarms.end(),
                     [](const Found& a, const Found& b) { return a.score > b.score; });
    // Greedy, as ombre-detect suppresses, but keeping each window's place.
    std::vector<Found> kept;
    for (const Found& d : alarms) {
        if (static_cast<int>(kept.size()) == most)
            break;
        const bool duplicate = std::any_of(kept.begin(), kept.end(), [&](const Found& k) {
            return overlapsMoreThan(d, k, kDefaultMaxOverlap) || mostlyInside(d, k);
        });
        if (!duplicate)
            kept.push_back(d);
    }
    return kept;
}

// Searches photo with scanner (its threshold the least score of a false
// alarm) and keeps its strongestAlarms. Throws std::bad_alloc when memory
// runs out.
MinedAlarms mineFalseAlarms(HogScanner& scanner, const QImage& photo,
                            const std::vector<PersonBox>& people, int most);
