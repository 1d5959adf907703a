#include "Matching.h"

#include <algorithm>
#include <numeric>

namespace
{

// What a right box is to a detection.
enum class Role {
    Person,
    Difficult, // a person found or missed, neither counting
    Region,    // lower than the ignore height
};

} // namespace

MatchResult matchDetections(const std::vector<std::vector<TruthBox>>& truth,
                            const std::vector<FoundBox>& detections, double iou, double ignoreBelow,
                            MatchRule rule)
{
    MatchResult result;
    result.rule = rule;
    std::vector<std::vector<Role>> roles(truth.size());
    std::vector<std::vector<bool>> claimed(truth.size());
    for (size_t p = 0; p < truth.size(); ++p) {
        for (const TruthBox& t : truth[p]) {
            const Role role = t.ymax - t.ymin < ignoreBelow ? Role::Region
                              : t.difficult                 ? Role::Difficult
                                                            : Role::Person;
            roles[p].push_back(role);
            result.people += role == Role::Person;
            result.ignoredBoxes += role != Role::Person;
        }
        claimed[p].assign(truth[p].size(), false);
    }

    std::vector<int> order(detections.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return detections[a].score > detections[b].score; });

    for (const int k : order) {
        const FoundBox& d = detections[k];
        const std::vector<TruthBox>& boxes = truth[d.photo];
        const std::vector<Role>& role = roles[d.photo];
        std::vector<bool>& taken = claimed[d.photo];
        // The person the rule picks, then the best of the boxes tried last.
        int person = -1;
        double personOverlap = 0;
        double lastOverlap = 0;
        for (size_t j = 0; j < boxes.size(); ++j) {
            const double o = intersectionOverUnion(d, boxes[j]);
            // The pedestrian benchmarks try difficult people last, as they
            // try their ignore regions; VOC lets a detection take one first.
            if (role[j] == Role::Region ||
                (rule == MatchRule::Unclaimed && role[j] == Role::Difficult)) {
                lastOverlap = std::max(lastOverlap, o);
            } else if ((rule == MatchRule::Voc || !taken[j]) && o > personOverlap) {
                person = static_cast<int>(j);
                personOverlap = o;
            }
        }
        Outcome outcome = Outcome::FalsePositive;
        if (person >= 0 && personOverlap >= iou) {
            if (role[person] == Role::Difficult) {
                outcome = Outcome::Ignored;
            } else if (!taken[person]) {
                taken[person] = true;
                outcome = Outcome::TruePositive;
            }
        }
        if (outcome == Outcome::FalsePositive && lastOverlap >= iou)
            outcome = Outcome::Ignored;
        result.ranked.push_back(RankedDetection{k, outcome, d.score});
    }
    return result;
}
