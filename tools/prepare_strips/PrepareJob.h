#pragma once

#include "PrepareOptions.h"

#include <QString>
#include <QStringList>

#include <functional>

// What a run did, or why it wrote nothing.
struct PrepareReport {
    // Empty when the output directory was written.
    QString error;
    int trainPhotos = 0;
    int testPhotos = 0;
    int trainStrips = 0;
    int trainBoxes = 0;
    int testStrips = 0;
    int testBoxes = 0;
    int testStripsWithoutPeople = 0;
    // What was not cut: people lower than the least height, their strips
    // narrower than the window, and strips of photographs without people
    // too small to cut.
    int tooSmall = 0;
    int tooNarrow = 0;
    int emptyTooSmall = 0;

    // Mining hard negatives: the photographs searched, those among them
    // without people, what was found (see MiningCount) and the crops (the
    // false alarms kept, and their mirrored copies with --mirror) in the
    // hard strips.
    int minedPhotos = 0;
    int minedPhotosWithoutPeople = 0;
    long long windowsSearched = 0;
    long long falseAlarms = 0;
    long long distinctFalseAlarms = 0;
    long long falseAlarmsKept = 0;
    int hardCrops = 0;
    int hardStrips = 0;
};

// Called after each photograph with how many are done of how many: first
// while cutting the strips, then, with mining true, while searching for
// false alarms.
using PrepareProgress = std::function<void(bool mining, int done, int total)>;

// Called with what was skipped and why, naming the photograph, as it happens.
using PrepareWarning = std::function<void(const QString& text)>;

// Reads the annotations, checks every photograph and box, then cuts the
// strips and writes, under options.outDir:
//   train/N.png and train.txt (the training set's boxes), unless the mode is Test,
//   with the hard-negative strips after the others when options.hardModel is set;
//   test/N.png, test-names.txt and test-right.txt, unless the mode is Train;
//   sources.csv, which tells the photograph and the part of it behind each strip.
// Everything is written to a staging directory first, which becomes outDir
// only when all went well: on any error nothing is left behind.
PrepareReport runPrepareJob(const PrepareOptions& options, const PrepareProgress& progress = {},
                            const PrepareWarning& warning = {});
