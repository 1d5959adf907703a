#pragma once

#include "MatchRule.h"
#include "MeasuredBoxes.h"

#include <vector>

// The least intersection over union of a true positive, unless asked otherwise.
constexpr double kDefaultMatchOverlap = 0.5;

// What a detection turned out to be.
enum class Outcome {
    TruePositive,
    FalsePositive,
    Ignored, // on an ignore region or a difficult person: counts neither way
};

struct RankedDetection {
    int detection = 0; // index in the detections
    Outcome outcome = Outcome::FalsePositive;
    double score = 0;
};

struct MatchResult {
    MatchRule rule = MatchRule::Voc;
    // Every detection, highest score first, equal scores in file order.
    std::vector<RankedDetection> ranked;
    // Right boxes that are people, and the others: those lower than the
    // ignore height and difficult people.
    long long people = 0;
    long long ignoredBoxes = 0;
};

// Matches detections to the right boxes of their photographs, highest score
// first. Right boxes lower than ignoreBelow are ignore regions, not people.
// With MatchRule::Voc a detection takes the person of its photograph that it
// overlaps most, claimed, difficult or not; with MatchRule::Unclaimed, the
// one it overlaps most among the people no detection claimed, difficult
// people left out. The first in file order wins a tie. An overlap of at least
// iou then makes a true positive that claims the person, or, on a difficult
// person, counts neither way; a person claimed already, a second detection,
// makes a false positive. A detection that is neither a true positive nor on
// a difficult person is tried against the ignore regions (with
// MatchRule::Unclaimed, the difficult people too), claimed or not: a crowd
// of small people can set off several windows, none of them wrong. An
// overlap of at least iou with one makes it Ignored; anything else is a
// false positive.
// Requires truth to have one entry per photograph a detection names.
MatchResult matchDetections(const std::vector<std::vector<TruthBox>>& truth,
                            const std::vector<FoundBox>& detections, double iou, double ignoreBelow,
                            MatchRule rule);
