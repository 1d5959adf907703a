#pragma once

#include "Annotation.h"
#include "TrainOptions.h"

#include <QString>

#include <vector>

// A photograph to train on: annotated, with its people, or from --empty,
// without.
struct TrainingPhoto {
    QString path;
    // "FILE:LINE" of the annotation that names it, or its --empty folder.
    QString where;
    std::vector<PersonBox> people;
};

// The annotated photographs, in the order their annotations first name them,
// then those of each --empty folder in the order photosInFolder gives. A
// photograph of --empty that is also annotated is taken once, with its
// people. Otherwise false with error: an annotation that cannot be read, an
// --empty folder without photographs.
bool listTrainingPhotos(const TrainOptions& options, std::vector<TrainingPhoto>& photos,
                        QString& error);
