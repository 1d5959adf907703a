#pragma once

#include "DetectOptions.h"
#include "Detector.h"
#include "PhotoFolder.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <variant>
#include <vector>

// What a run searches with: the weights of a plain model of Ombrec (see
// objectWeights), or a hog detector.
using DetectModel = std::variant<std::vector<double>, Detector>;

// The least score of a box that the drawings and the sheet show: the
// option's, else the detector's recommended threshold, else 0.
double drawThresholdOf(const DetectOptions& options, const DetectModel& model);

// How a run went.
struct DetectReport {
    int searched = 0; // photographs read and searched
    int skipped = 0;  // photographs not read, not searched, or holding no window
    int people = 0;   // rows written
    // A photograph that could not be read or searched, a drawing or the sheet
    // not written, or rows not taken.
    bool failed = false;
};

// Where a run's results go; every call comes from the calling thread.
struct DetectSinks {
    // Takes the CSV rows of one photograph; false stops the run.
    std::function<bool(const QByteArray&)> rows;
    // Takes a warning that names its file.
    std::function<void(const QString&)> warn;
    // Learns that done of total photographs are through.
    std::function<void(int done, int total)> progress;
};

// Searches the photographs with model (with a hog detector,
// options.scan.stride a multiple of 8) on options.threads threads
// (threadCount() for 0), and hands each photograph's rows to the sinks in the
// order of photos, as soon as it and those before it are through. At most twice as many photographs
// as threads are between being read and being handed over, so memory does not grow with their
// number. Writes the drawings and the contact sheet that options ask for, with the boxes from
// drawThresholdOf up. A photograph that cannot be read or searched, or that holds the window at no
// scale, is skipped with a warning: no rows, drawing or thumbnail.
DetectReport runDetectJob(const DetectOptions& options, const DetectModel& model,
                          const std::vector<PhotoFile>& photos, const DetectSinks& sinks);
