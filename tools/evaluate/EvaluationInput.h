#pragma once

#include "DetectionFile.h"
#include "MeasuredBoxes.h"
#include "EvaluateCommandLine.h"
#include "PhotoIndex.h"

#include <QString>

#include <vector>

// Everything an evaluation compares.
struct EvaluationInput {
    PhotoIndex photos;
    // The right boxes of each photograph of photos, in file order.
    std::vector<std::vector<TruthBox>> truth;
    std::vector<FoundBox> detections;
    // Right boxes, and the photographs they are in, that --photos left out.
    long long leftOutBoxes = 0;
    int leftOutPhotos = 0;
};

// Reads the right boxes (CSV or VOC, with ombre-prepare's readers), the
// detections and, when options name one, the directory of photographs,
// whose photographs must each hold some of every right box of theirs.
// Otherwise returns false with error naming the file, and the line where
// there is one.
bool loadEvaluationInput(const EvaluateOptions& options, EvaluationInput& input, QString& error);
