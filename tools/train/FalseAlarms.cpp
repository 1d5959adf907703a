#include "FalseAlarms.h"

MinedAlarms mineFalseAlarms(HogScanner& scanner, const QImage& photo,
                            const std::vector<PersonBox>& people, int most)
{
    MinedAlarms mined;
    std::vector<HogPlace> places;
    for (const HogFound& d : strongestAlarms(scanner.scan(photo), people, most, mined.found))
        places.push_back(d.place);
    mined.features = scanner.features(photo, places);
    return mined;
}
