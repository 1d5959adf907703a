#pragma once

#include "PhotoScan.h"

#include <vector>

// The largest intersection over union of two kept boxes that ombre-detect
// allows by default: measured on the hard demo photographs.
constexpr double kDefaultMaxOverlap = 0.2;

// How a box that survives suppression is scored and placed.
enum class BoxScoring {
    Window, // its own window's score, at its own place
    Sum,    // the sum of the positive margins of the windows it suppressed,
            // itself included, at their margin-weighted mean place
};

// Greedy non-maximum suppression: the candidates by descending score (the
// earlier one first on a tie), each dropped when its intersection over union
// with a box kept before it exceeds maxOverlap or when more than kMostlyInside
// of its area lies inside such a box, and kept otherwise. A dropped candidate
// belongs to the first kept box that drops it. With BoxScoring::Sum a
// window's margin is its score where that is positive and 0 elsewhere; a box
// whose windows have no margin keeps its place and scores 0. Returns the kept
// boxes by descending final score.
std::vector<ScoredBox> suppressOverlaps(std::vector<ScoredBox> candidates, double maxOverlap,
                                        BoxScoring scoring);
