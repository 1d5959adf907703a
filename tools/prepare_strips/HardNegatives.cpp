#include "HardNegatives.h"

#include "PersonGeometry.h"
#include "Suppression.h"

#include <algorithm>

std::vector<HardNegative> mineHardNegatives(PhotoScanner& scanner, const ScanSettings& settings,
                                            const QImage& photo,
                                            const std::vector<PersonBox>& people, double nms,
                                            int most, MiningCount& count)
{
    count.searched += windowCount(photo.size(), settings);
    std::vector<ScoredBox> alarms = scanner.scan(photo);
    alarms.erase(std::remove_if(alarms.begin(), alarms.end(),
                                [&](const ScoredBox& d) { return !clearOfPeople(d, people); }),
                 alarms.end());
    count.found += static_cast<long long>(alarms.size());
    const std::vector<ScoredBox> distinct =
        suppressOverlaps(std::move(alarms), nms, BoxScoring::Window);
    count.distinct += static_cast<long long>(distinct.size());
    std::vector<HardNegative> kept;
    for (const ScoredBox& d : distinct) {
        if (static_cast<int>(kept.size()) == most)
            break;
        kept.push_back(HardNegative{windowAroundPerson(d, photo.size()), d.score});
    }
    count.kept += static_cast<long long>(kept.size());
    return kept;
}
