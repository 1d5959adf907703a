#pragma once

#include "Settings.h"
#include "Window.h"

#include <QString>

#include <cstdint>
#include <vector>

class QImage;
class Random;

// One strip to draw: its size and the left column of each figure's box,
// which is the search window at the top edge of the strip.
struct DemoStrip {
    int width = 0;
    int height = 0;
    std::vector<int> figureLefts;
};

struct DemoSetOptions {
    std::uint32_t seed = 1;
    int trainCount = 120;
    int testCount = 40;
    DemoSettings settings;
};

// Training strips hold one figure each: the training command takes its
// background windows from the same strip, away from the box.
std::vector<DemoStrip> planTrainingSet(const DemoSetOptions& options);

// Test strips hold no figure (a share of settings.testSet.emptyShare, rounded),
// one, or two whose boxes start at least settings.testSet.minGap apart.
std::vector<DemoStrip> planTestSet(const DemoSetOptions& options);

// Draws a planned strip: background and clutter, the figures centred in
// their boxes, then the camera's blur and noise.
QImage renderStrip(const DemoStrip& plan, Random& random, const DemoSettings& settings);

// Writes the data set under outDir:
//   train/0.png ... and train.txt, one box per training strip;
//   test/0.png ..., test-names.txt listing them, test-right.txt with their boxes.
// Box lines read "Num  Ymin  Xmin  Ymax  Xmax" with a line feed.
// Returns an empty text on success, otherwise what failed, naming the file.
QString writeDemoSet(const QString& outDir, const DemoSetOptions& options);
