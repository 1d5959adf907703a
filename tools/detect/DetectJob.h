#pragma once

#include "DetectOptions.h"
#include "PhotoFolder.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

// How a run went.
struct DetectReport {
    int searched = 0; // photographs read and searched
    int skipped = 0;  // photographs that could not be read or searched
    int people = 0;   // rows written
    bool failed =
        false; // a photograph skipped, a drawing or the sheet not written, or rows not taken
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

// Searches the photographs with weights (see objectWeights) on
// options.threads threads (threadCount() for 0), and hands each photograph's rows
// to the sinks in the order of photos, as soon as it and those before it are
// through. At most twice as many photographs as threads are between being
// read and being handed over, so memory does not grow with their number.
// Writes the drawings and the contact sheet that options ask for. A
// photograph that cannot be read or searched is skipped with a warning.
DetectReport runDetectJob(const DetectOptions& options, const std::vector<double>& weights,
                          const std::vector<PhotoFile>& photos, const DetectSinks& sinks);
