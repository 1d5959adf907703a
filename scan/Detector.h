#pragma once

#include "HogSettings.h"
#include "PhotoBox.h"

#include <optional>
#include <vector>

// A detector for whole photographs: the block-normalised gradient histogram
// of a window, the person's place in that window, and the weights of a
// linear SVM over the window's features.
struct Detector {
    HogSettings hog;
    // The person a window stands for, in the window's pixels: 96 rows high in
    // the 64x128 window, 16 rows from its top and centred across.
    PhotoBox person;
    // One weight a feature (hogFeatureCount(hog)), turned towards the person
    // so that a window is a person when bias + weights . features >= 0.
    std::vector<float> weights;
    double bias = 0;
    // The score from which a box is worth showing a user, as ombre-train
    // measured it on its training photographs; none when it did not.
    std::optional<double> threshold;
};

// The person box of the window of settings: kPersonAspect times 96 rows wide
// in a 64x128 window, and as a share of the window in any other.
PhotoBox defaultPersonBox(const HogSettings& settings);
