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

// Trains the counts descriptor's SVM on set (2000 counts a window) exactly
// as Ombrec t trains, with cost C: engine's TrainingProblem, positives
// labelled +1 and listed first, so that the model is a plain model file's,
// without bias. Requires both kinds of window.
OwnedModel trainCountsSvm(const TrainingSet& set, double C);
