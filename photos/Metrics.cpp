#include "Metrics.h"

#include <algorithm>
#include <cmath>

namespace
{

// Each miss rate enters the log-average as at least this, so that a curve
// that reaches no miss at all has a finite mean.
constexpr double kLeastMissRate = 1e-10;

// A rate read from a file may land on a reference rate (1 false positive in
// 100 photographs) a rounding error above it; it still counts as reaching it.
constexpr double kReferenceSlack = 1e-12;

std::vector<CurvePoint> curveOf(const MatchResult& match, int photographs)
{
    std::vector<CurvePoint> curve;
    curve.reserve(match.ranked.size());
    long long tp = 0;
    long long fp = 0;
    for (const RankedDetection& r : match.ranked) {
        tp += r.outcome == Outcome::TruePositive;
        fp += r.outcome == Outcome::FalsePositive;
        CurvePoint p;
        p.at = r;
        p.tp = tp;
        p.fp = fp;
        p.recall = match.people > 0 ? double(tp) / double(match.people) : 0;
        p.precision = tp + fp > 0 ? double(tp) / double(tp + fp) : 0;
        p.fppi = photographs > 0 ? double(fp) / photographs : 0;
        p.missRate = 1 - p.recall;
        curve.push_back(p);
    }
    return curve;
}

double averagePrecision(const std::vector<CurvePoint>& curve)
{
    double ap = 0;
    double recall = 0;
    for (const RecallStep& s : precisionSteps(curve)) {
        ap += (s.recall - recall) * s.precision;
        recall = s.recall;
    }
    return ap;
}

double elevenPointAveragePrecision(const std::vector<CurvePoint>& curve, long long people)
{
    double sum = 0;
    for (int k = 0; k <= 10; ++k) {
        double best = 0;
        for (const CurvePoint& p : curve) {
            // Recall at least k / 10, in whole numbers so that 3 of 10 is 0.3.
            if (p.at.outcome != Outcome::Ignored && 10 * p.tp >= k * people)
                best = std::max(best, p.precision);
        }
        sum += best;
    }
    return sum / 11;
}

std::optional<OperatingPoint> bestF1(const std::vector<CurvePoint>& curve, long long people)
{
    // F1 comes to 2 tp / (tp + fp + people): compared in whole numbers, equal
    // F1s tie exactly and the first is kept.
    const CurvePoint* best = nullptr;
    for (size_t k = 0; k < curve.size(); ++k) {
        const CurvePoint& p = curve[k];
        const bool cut = k + 1 == curve.size() || curve[k + 1].at.score < p.at.score;
        if (cut && p.tp > 0 &&
            (!best || p.tp * (best->tp + best->fp + people) > best->tp * (p.tp + p.fp + people)))
            best = &p;
    }
    if (!best)
        return std::nullopt;
    return OperatingPoint{best->at.score, 2.0 * best->tp / double(best->tp + best->fp + people),
                          best->precision, best->recall};
}

} // namespace

std::array<double, kMissRatePoints> missRateReferences()
{
    std::array<double, kMissRatePoints> refs;
    for (int k = 0; k < kMissRatePoints; ++k)
        refs[k] = std::pow(10.0, -2.0 + 2.0 * k / (kMissRatePoints - 1));
    return refs;
}

std::vector<RecallStep> precisionSteps(const std::vector<CurvePoint>& curve)
{
    // The points where a detection counted, then recall 1 at precision 0.
    std::vector<RecallStep> points;
    for (const CurvePoint& p : curve) {
        if (p.at.outcome != Outcome::Ignored)
            points.push_back(RecallStep{p.recall, p.precision});
    }
    points.push_back(RecallStep{1, 0});
    for (size_t i = points.size() - 1; i-- > 0;)
        points[i].precision = std::max(points[i].precision, points[i + 1].precision);
    // A step ends where recall changes; from recall 0 a step starts at once.
    std::vector<RecallStep> steps;
    double recall = 0;
    for (const RecallStep& p : points) {
        if (p.recall != recall)
            steps.push_back(p);
        recall = p.recall;
    }
    return steps;
}

Evaluation measure(const MatchResult& match, int photographs)
{
    Evaluation e;
    e.rule = match.rule;
    e.curve = curveOf(match, photographs);
    e.people = match.people;
    e.ignoredBoxes = match.ignoredBoxes;
    e.photographs = photographs;
    for (const CurvePoint& p : e.curve)
        e.ignoredDetections += p.at.outcome == Outcome::Ignored;
    e.missRates.fill(1);
    if (e.people == 0)
        return e;

    e.ap = averagePrecision(e.curve);
    e.ap11 = elevenPointAveragePrecision(e.curve, e.people);
    e.operatingPoint = bestF1(e.curve, e.people);
    const std::array<double, kMissRatePoints> refs = missRateReferences();
    double logSum = 0;
    for (int k = 0; k < kMissRatePoints; ++k) {
        // The rates only grow along the curve: the last point within the
        // reference has the least miss rate at the largest rate.
        for (const CurvePoint& p : e.curve) {
            if (p.fppi > refs[k] * (1 + kReferenceSlack))
                break;
            e.missRates[k] = p.missRate;
        }
        logSum += std::log(std::max(e.missRates[k], kLeastMissRate));
    }
    e.logAverageMissRate = std::exp(logSum / kMissRatePoints);
    return e;
}
