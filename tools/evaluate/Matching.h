#pragma once

#include "DetectionFile.h"
#include "EvaluationInput.h"

#include <vector>

// What a detection turned out to be.
enum class Outcome {
    TruePositive,
    FalsePositive,
    Ignored, // on an ignore region: counts neither way
};

struct RankedDetection {
    int detection = 0; // index in the detections
    Outcome outcome = Outcome::FalsePositive;
};

struct MatchResult {
    // Every detection, highest score first, equal scores in file order.
    std::vector<RankedDetection> ranked;
    // Right boxes that are people, and those lower than the ignore height.
    long long people = 0;
    long long ignoredBoxes = 0;
};

// Intersection over union of two boxes with exclusive maxima.
double overlap(const Detection& d, const TruthBox& t);

// Matches detections to the right boxes of their photographs, PASCAL VOC
// style: highest score first, each detection takes the unclaimed person of
// its photograph that it overlaps most (the first in file order on a tie),
// and is a true positive when that overlap is at least iou. A detection
// that finds no such person is tried against the ignore regions, the right
// boxes lower than ignoreBelow, claimed or not: a crowd of small people can
// set off several windows, none of them wrong. An overlap of at least iou
// with one makes it Ignored; anything else is a false positive, a second
// detection of one person included.
// Requires truth to have one entry per photograph a detection names.
MatchResult matchDetections(const std::vector<std::vector<TruthBox>>& truth,
                            const std::vector<Detection>& detections, double iou,
                            double ignoreBelow);
