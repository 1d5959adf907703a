#pragma once

#include "LocationFile.h"
#include "Window.h"

#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

// One training row: the 2000 counts of a window, a byte each, since a bin of
// one 8x8 cell counts at most 64 pixels.
using TrainingRow = std::array<std::uint8_t, kHistSize>;

// The rows of a training in file order. A deque grows without moving what it
// holds, so its peak is the rows themselves.
using TrainingRows = std::deque<TrainingRow>;

// What a run of consecutive location lines on one image gives.
struct ImageRows {
    QString path;                  // the image
    QImage image;                  // decoded, or null when it did not load
    std::vector<TrainingRow> rows; // per usable line: the box, then the background
    std::vector<int> labels;       // +1 object, -1 background
};

// Collects the rows of the lines of a location file, boxes[k] read from line
// lineNumbers[k] of locationFile, on up to threads threads. Each run of
// consecutive lines on one image (imagePath(Num), asked on the calling
// thread) is decoded once, in a worker. A usable line gives the window of
// its box, then the background windows of the box's rows every 10 columns
// from the left edge, those that overlap the box by 20 columns or more left
// out. A line whose image does not load, or whose box is empty, leaves the
// image or is larger than the window, gives nothing and is reported with
// the file and line. take(run, runs, rows) gets each run's rows, in file
// order on the calling thread, after the run's warnings are written: the
// rows and standard error are those of one thread. At most two runs per
// thread are described and not yet taken.
void collectTrainingRows(const std::vector<Box>& boxes, const std::vector<int>& lineNumbers,
                         const QString& locationFile, const std::function<QString(int)>& imagePath,
                         int threads,
                         const std::function<void(int run, int runs, ImageRows& rows)>& take);
