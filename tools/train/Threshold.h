#pragma once

#include "Annotation.h"
#include "PhotoScan.h"

#include <optional>
#include <vector>

// The score from which a detector's boxes are worth showing a user: the
// operating point of the best F1 of the boxes it found in photographs
// (found[k], kept as ombre-detect keeps them, in photograph k with people[k])
// matched with their people as ombre-evaluate matches them by default. None
// without a true positive.
std::optional<double> recommendedThreshold(const std::vector<std::vector<ScoredBox>>& found,
                                           const std::vector<std::vector<PersonBox>>& people);
