#include "Matching.h"

#include <algorithm>
#include <numeric>

double overlap(const Detection& d, const TruthBox& t)
{
    const double w = std::min(d.xmax, t.xmax) - std::max(d.xmin, t.xmin);
    const double h = std::min(d.ymax, t.ymax) - std::max(d.ymin, t.ymin);
    if (w <= 0 || h <= 0)
        return 0;
    const double inter = w * h;
    const double areas =
        (d.xmax - d.xmin) * (d.ymax - d.ymin) + (t.xmax - t.xmin) * (t.ymax - t.ymin);
    return inter / (areas - inter);
}

MatchResult matchDetections(const std::vector<std::vector<TruthBox>>& truth,
                            const std::vector<Detection>& detections, double iou,
                            double ignoreBelow)
{
    MatchResult result;
    std::vector<std::vector<bool>> ignored(truth.size());
    std::vector<std::vector<bool>> claimed(truth.size());
    for (size_t p = 0; p < truth.size(); ++p) {
        for (const TruthBox& t : truth[p]) {
            const bool low = t.ymax - t.ymin < ignoreBelow;
            ignored[p].push_back(low);
            result.ignoredBoxes += low;
            result.people += !low;
        }
        claimed[p].assign(truth[p].size(), false);
    }

    std::vector<int> order(detections.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return detections[a].score > detections[b].score; });

    for (const int k : order) {
        const Detection& d = detections[k];
        const std::vector<TruthBox>& boxes = truth[d.photo];
        // The best person still free, then the best ignore region.
        int person = -1;
        double personOverlap = 0;
        double regionOverlap = 0;
        for (size_t j = 0; j < boxes.size(); ++j) {
            const double o = overlap(d, boxes[j]);
            if (ignored[d.photo][j]) {
                regionOverlap = std::max(regionOverlap, o);
            } else if (!claimed[d.photo][j] && o > personOverlap) {
                person = static_cast<int>(j);
                personOverlap = o;
            }
        }
        Outcome outcome = Outcome::FalsePositive;
        if (person >= 0 && personOverlap >= iou) {
            claimed[d.photo][person] = true;
            outcome = Outcome::TruePositive;
        } else if (regionOverlap >= iou) {
            outcome = Outcome::Ignored;
        }
        result.ranked.push_back(RankedDetection{k, outcome});
    }
    return result;
}
