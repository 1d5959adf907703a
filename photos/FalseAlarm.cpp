#include "FalseAlarm.h"

#include <algorithm>

bool clearOfPeople(const PhotoBox& box, const std::vector<PersonBox>& people)
{
    return std::none_of(people.begin(), people.end(), [&](const PersonBox& p) {
        return intersectionOverUnion(
                   box, PhotoBox{double(p.xmin), double(p.ymin), double(p.xmax), double(p.ymax)}) >
               kMostOverlapWithPeople;
    });
}
