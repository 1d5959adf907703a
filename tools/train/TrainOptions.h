#pragma once

#include "HogScan.h"

#include <QString>
#include <QStringList>

// What a training is asked to do; the defaults are those of the command line.
struct TrainOptions {
    QString photosDir;
    // Exactly one of the two annotation sources.
    QString csvFile;
    QString vocDir;
    // Folders of photographs without people.
    QStringList emptyDirs;
    QString out;

    // Rounds of hard-negative mining after the first training.
    int rounds = 2;
    // The SVM's cost of a training error.
    double C = 0.01;
    // People lower than this many photograph rows are left out of the
    // positives; the search for false alarms looks down to this height too.
    int minHeight = 40;
    // Photograph pixels that windows reach past each edge, in the search for
    // false alarms and in the positives cut off by the frame.
    int border = kDefaultHogBorder;
    // Level pixels that windows reach past each edge besides.
    int levelBorder = 0;
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
