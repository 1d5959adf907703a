#include "Suppression.h"

#include <algorithm>

namespace
{

// A kept box and the windows it stands for.
struct Group {
    ScoredBox box;
    double margins = 0;
    ScoredBox weighted; // margin-weighted sums of the corners
};

void join(Group& group, const ScoredBox& window, double margin)
{
    group.margins += margin;
    group.weighted.xmin += margin * window.xmin;
    group.weighted.ymin += margin * window.ymin;
    group.weighted.xmax += margin * window.xmax;
    group.weighted.ymax += margin * window.ymax;
}

} // namespace

std::vector<ScoredBox> suppressOverlaps(std::vector<ScoredBox> candidates, double maxOverlap,
                                        BoxScoring scoring)
{
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const ScoredBox& a, const ScoredBox& b) { return a.score > b.score; });
    std::vector<Group> groups;
    for (const ScoredBox& candidate : candidates) {
        Group* owner = nullptr;
        for (Group& group : groups) {
            if (overlapsMoreThan(candidate, group.box, maxOverlap) ||
                mostlyInside(candidate, group.box)) {
                owner = &group;
                break;
            }
        }
        if (!owner) {
            groups.push_back(Group{candidate, 0, ScoredBox{}});
            owner = &groups.back();
        }
        join(*owner, candidate, std::max(0.0, candidate.score));
    }

    std::vector<ScoredBox> kept;
    for (const Group& group : groups) {
        ScoredBox box = group.box;
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
                     [](const ScoredBox& a, const ScoredBox& b) { return a.score > b.score; });
    return kept;
}
