#include "FalseAlarms.h"

#include "FalseAlarm.h"
#include "Suppression.h"

#include <algorithm>

MinedAlarms mineFalseAlarms(HogScanner& scanner, const QImage& photo,
                            const std::vector<PersonBox>& people, int most)
{
    MinedAlarms mined;
    std::vector<HogFound> alarms = scanner.scan(photo);
    alarms.erase(std::remove_if(alarms.begin(), alarms.end(),
                                [&](const HogFound& d) { return !clearOfPeople(d, people); }),
                 alarms.end());
    mined.found = static_cast<long long>(alarms.size());
    std::stable_sort(alarms.begin(), alarms.end(),
                     [](const HogFound& a, const HogFound& b) { return a.score > b.score; });
    // Greedy, as ombre-detect suppresses, but keeping each window's place.
    std::vector<HogFound> kept;
    for (const HogFound& d : alarms) {
        if (static_cast<int>(kept.size()) == most)
            break;
        const bool duplicate = std::any_of(kept.begin(), kept.end(), [&](const HogFound& k) {
            return overlapsMoreThan(d, k, kDefaultMaxOverlap) || mostlyInside(d, k);
        });
        if (!duplicate)
            kept.push_back(d);
    }
    std::vector<HogPlace> places;
    for (const HogFound& d : kept)
        places.push_back(d.place);
    mined.features = scanner.features(photo, places);
    return mined;
}
