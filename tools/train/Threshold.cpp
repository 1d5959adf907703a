#include "Threshold.h"

#include "Matching.h"
#include "Metrics.h"

std::optional<double> recommendedThreshold(const std::vector<std::vector<ScoredBox>>& found,
                                           const std::vector<std::vector<PersonBox>>& people)
{
    std::vector<std::vector<TruthBox>> truth;
    for (const std::vector<PersonBox>& photo : people) {
        std::vector<TruthBox>& boxes = truth.emplace_back();
        for (const PersonBox& p : photo) {
            TruthBox t;
            t.xmin = p.xmin;
            t.ymin = p.ymin;
            t.xmax = p.xmax;
            t.ymax = p.ymax;
            t.difficult = p.difficult;
            boxes.push_back(t);
        }
    }
    std::vector<FoundBox> detections;
    for (size_t k = 0; k < found.size(); ++k) {
        for (const ScoredBox& box : found[k]) {
            FoundBox d;
            static_cast<PhotoBox&>(d) = box;
            d.photo = static_cast<int>(k);
            d.score = box.score;
            detections.push_back(d);
        }
    }
    // ombre-evaluate's defaults: no ignore height.
    const Evaluation e =
        measure(matchDetections(truth, detections, kDefaultMatchOverlap, 0, MatchRule::Voc),
                static_cast<int>(found.size()));
    if (!e.operatingPoint)
        return std::nullopt;
    return e.operatingPoint->score;
}
