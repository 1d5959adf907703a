#pragma once

#include "HogScan.h"

#include <QString>
#include <QStringList>

// The descriptors a detector can be trained for.
enum class TrainDescriptor {
    Hog,    // a detector file for ombre-detect
    Counts, // a plain model file, as Ombrec t writes
};

// The SVM's cost of a training error unless asked: the counts descriptor's
// is Ombrec t's.
constexpr double kDefaultHogC = 0.03;
constexpr double kDefaultCountsC = 1;

// What a training is asked to do; the defaults are those of the command line
// for the hog descriptor.
struct TrainOptions {
    QString photosDir;
    // Exactly one of the two annotation sources.
    QString csvFile;
    QString vocDir;
    // Folders of photographs without people.
    QStringList emptyDirs;
    QString out;
    TrainDescriptor descriptor = TrainDescriptor::Hog;

    // Rounds of hard-negative mining after the first training.
    int rounds = 2;
    // The SVM's cost of a training error.
    double C = kDefaultHogC;
    // People lower than this many photograph rows are left out of the
    // positives; the search for false alarms looks down to this height too.
    int minHeight = 40;
    // Photograph pixels, and level pixels besides, that windows reach past
    // each edge, in the search for false alarms and in the positives cut off
    // by the frame; for the counts descriptor none unless asked, as
    // ombre-detect's for a plain model.
    int border = 0;
    int levelBorder = kDefaultHogLevelBorder;
    // Copies of each person, moved and scaled a little, besides the person
    // and their mirror image.
    int jitter = 4;
    // Windows taken at random from each photograph, outside its people.
    int randomNegatives = 10;
    // False alarms kept from one photograph in a round, highest first.
    int hardPerPhoto = 20;
    // The least score of a false alarm.
    double hardThreshold = -1;
    // The most ratio between neighbouring scales of the search for false
    // alarms, as ombre-detect's --scale-step.
    double scaleStep = 1.2;
    int threads = 0; // 0: OMBRE_THREADS, or one per core
};
