#pragma once

#include "PhotoScan.h"
#include "Suppression.h"

#include <QString>
#include <QStringList>

#include <optional>

// What a run is asked to do; the defaults are those of the command line.
struct DetectOptions {
    QString model;
    QString out;        // the CSV file; empty for standard output
    QString drawDir;    // optional: copies of the photographs with their boxes
    QString sheet;      // optional: the contact sheet's PNG
    QStringList inputs; // photographs and directories of photographs

    ScanSettings scan;
    // --border or --level-border was given; without either a hog detector
    // searches kDefaultHogLevelBorder past the edges, a counts model not at all.
    bool borderGiven = false;
    // Least score of a box that --draw and --sheet show; none: the detector's
    // recommended threshold, else 0.
    std::optional<double> drawThreshold;
    double nms = kDefaultMaxOverlap; // largest intersection over union of two kept boxes
    BoxScoring scoring = BoxScoring::Window;
    int threads = 0; // 0: OMBRE_THREADS, or one per core
};
