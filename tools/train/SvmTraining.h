#pragma once

#include "Detector.h"

#include <QByteArray>

#include <vector>

// The windows of a training, each its features as floats: 4 bytes a
// feature, where LIBLINEAR's nodes take 16. They become nodes only while
// the SVM is trained.
struct TrainingSet {
    std::vector<std::vector<float>> positives;
    std::vector<std::vector<float>> negatives;
};

// Trains LIBLINEAR's L2-regularised L2-loss SVM (dual) with cost C and a
// bias term on set, positives labelled +1 and listed first, and returns
// the detector file of header with that model. LIBLINEAR shuffles with
// rand(), seeded the same way before every training, so that the file
// depends on the windows and their order alone. Requires both kinds of
// window, each with hogFeatureCount(header.hog) features.
QByteArray trainDetector(const TrainingSet& set, const Detector& header, double C);
