#pragma once

#include "ModelDeleter.h"

#include <vector>

// The windows of a training, each its features as floats: 4 bytes a
// feature, where LIBLINEAR's nodes take 16. They become nodes only while
// the SVM is trained.
struct TrainingSet {
    std::vector<std::vector<float>> positives;
    std::vector<std::vector<float>> negatives;
};

// Trains LIBLINEAR's L2-regularised L2-loss SVM (dual) with cost C and a
// bias term on set, positives labelled +1 and listed first. LIBLINEAR
// shuffles with rand(), seeded the same way before every training, so that
// the model depends on the windows and their order alone. Requires both
// kinds of window, all with features features.
OwnedModel trainSvm(const TrainingSet& set, int features, double C);
