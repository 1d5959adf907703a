#include "Suppression.h"

#include <algorithm>

namespace
{

double area(const Detection& a)
{
    return (a.xmax - a.xmin) * (a.ymax - a.ymin);
}

double intersection(const Detection& a, const Detection& b)
{
    const double w = std::min(a.xmax, b.xmax) - std::max(a.xmin, b.xmin);
    const double h = std::min(a.ymax, b.ymax) - std::max(a.ymin, b.ymin);
    return w > 0 && h > 0 ? w * h : 0.0;
}

// A kept box and the windows it stands for.
struct Group {
    Detection box;
    double margins = 0;
    Detection weighted; // margin-weighted sums of the corners
};

void join(Group& group, const Detection& window, double margin)
{
    group.margins += margin;
    group.weighted.xmin += margin * window.xmin;
    group.weighted.ymin += margin * window.ymin;
    group.weighted.xmax += margin * window.xmax;
    group.weighted.ymax += margin * window.ymax;
}

} // namespace

double intersectionOverUnion(const Detection& a, const Detection& b)
{
    const double common = intersection(a, b);
    return common > 0 ? common / (area(a) + area(b) - common) : 0.0;
}

std::vector<Detection> suppressOverlaps(std::vector<Detection> candidates, double maxOverlap,
                                        BoxScoring scoring)
{
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Detection& a, const Detection& b) { return a.score > b.score; });
    std::vector<Group> groups;
    for (const Detection& candidate : candidates) {
        const double own = area(candidate);
        Group* owner = nullptr;
        for (Group& group : groups) {
            const double common = intersection(candidate, group.box);
            const double united = own + area(group.box) - common;
            if (common > maxOverlap * united || common > kMostlyInside * own) {
                owner = &group;
                break;
            }
        }
        if (!owner) {
            groups.push_back(Group{candidate, 0, Detection{}});
            owner = &groups.back();
        }
        join(*owner, candidate, std::max(0.0, candidate.score));
    }

    std::vector<Detection> kept;
    for (const Group& group : groups) {
        Detection box = group.box;
        if (scoring == BoxScoring::Sum) {
            box.score = group.margins;
            if (group.margins > 0) {
                box.xmin = group.weighted.xmin / group.margins;
                box.ymin = group.weighted.ymin / group.margins;
                box.xmax = group.weighted.xmax / group.margins;
                box.ymax = group.weighted.ymax / group.margins;
            }
        }
        kept.push_back(box);
    }
    std::stable_sort(kept.begin(), kept.end(),
                     [](const Detection& a, const Detection& b) { return a.score > b.score; });
    return kept;
}
