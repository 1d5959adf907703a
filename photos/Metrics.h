#pragma once

#include "Matching.h"

#include <array>
#include <optional>
#include <vector>

// The counts after one detection, taking the detections highest score first.
struct CurvePoint {
    RankedDetection at;
    long long tp = 0;
    long long fp = 0;
    double recall = 0;    // tp / people; 0 without people
    double precision = 0; // tp / (tp + fp); 0 before a detection counts
    double fppi = 0;      // fp / photographs
    double missRate = 1;  // 1 - recall
};

// The nine false-positive-per-image rates of the log-average miss rate,
// evenly spaced in log space from 10^-2 to 10^0.
constexpr int kMissRatePoints = 9;
std::array<double, kMissRatePoints> missRateReferences();

// Where to set a threshold: keep the detections scoring at least score.
struct OperatingPoint {
    double score = 0;
    double f1 = 0;
    double precision = 0;
    double recall = 0;
};

struct Evaluation {
    MatchRule rule = MatchRule::Voc;
    // One point per detection, in the order of MatchResult::ranked.
    std::vector<CurvePoint> curve;
    long long people = 0;
    long long ignoredBoxes = 0;
    long long ignoredDetections = 0;
    int photographs = 0;

    // The all-points average precision of PASCAL VOC 2010 on: precision made
    // non-increasing from the right, summed over the steps of recall, from
    // recall 0 to 1 with precision 0 appended at both ends.
    double ap = 0;
    // That of VOC 2007: the mean over recall 0, 0.1, ..., 1 of the highest
    // precision at that recall or above, 0 where there is none.
    double ap11 = 0;
    // At each reference rate, the miss rate at the largest false positives
    // per image that does not exceed it, 1 where there is none.
    std::array<double, kMissRatePoints> missRates{};
    // Their geometric mean, each taken as at least 1e-10.
    double logAverageMissRate = 1;
    // The best F1, 2PR / (P + R), over the cuts of the curve, the first on a
    // tie. A threshold cannot part equal scores: a cut falls only where the
    // next detection scores lower, or at the end. None without a true
    // positive.
    std::optional<OperatingPoint> operatingPoint;
};

// The steps of the interpolated precision: each holds its precision from
// the recall of the step before it (0 for the first) up to its own recall.
// The area under them is the average precision.
struct RecallStep {
    double recall = 0;
    double precision = 0;
};
std::vector<RecallStep> precisionSteps(const std::vector<CurvePoint>& curve);

// The curve and the measures of a match over photographs photographs.
// Without people nothing can be found: both average precisions are 0 and
// the miss rate is 1, so that an empty truth file never looks good.
Evaluation measure(const MatchResult& match, int photographs);
