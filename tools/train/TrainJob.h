#pragma once

#include "TrainOptions.h"
#include "TrainingPhotos.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

// Where a training's news goes; every call comes from the calling thread.
struct TrainSinks {
    // Learns that done of total photographs of a stage ("collecting",
    // "round 1") are through.
    std::function<void(const QString& stage, int done, int total)> progress;
    // Takes the summary line of a round.
    std::function<void(const QString& line)> round;
};

// Trains a detector on photos as options ask, on options.threads threads
// (threadCount() for 0), and returns its file's text: a detector file for
// the hog descriptor, a plain model file for the counts descriptor; the
// same for any number of threads. Otherwise false with error: a photograph
// that cannot be read, a box wholly outside its photograph, no person or no
// background to train on, memory that ran out.
bool trainOnPhotos(const TrainOptions& options, const std::vector<TrainingPhoto>& photos,
                   const TrainSinks& sinks, QByteArray& file, QString& error);
