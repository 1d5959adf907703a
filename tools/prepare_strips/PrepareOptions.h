#pragma once

#include <QString>

#include <cstdint>

// Which sets a run writes.
enum class PrepareMode {
    Split, // annotated photographs split by the seed into a training and a test set
    Train, // every annotated photograph for training
    Test,  // every photograph for testing
};

// What a run is asked to do; the defaults are those of the command line.
struct PrepareOptions {
    QString photosDir;
    // Exactly one of the two annotation sources.
    QString csvFile;
    QString vocDir;
    // Photographs without people, cut into test strips; may be empty.
    QString emptyDir;
    QString outDir;

    PrepareMode mode = PrepareMode::Split;
    double testShare = 0.25;
    std::uint32_t seed = 1;
    // Widest strip in pixels; at least kLeastStripWidth, so that training
    // can take background windows from it.
    int stripWidth = 320;
    // People lower than this many photo rows are too small to scale up.
    int minHeight = 100;
    // Also write each training strip mirrored left to right.
    bool mirror = false;
    // Strips cut from each photograph without people.
    int emptyStrips = 1;

    // A model whose false alarms on the training photographs, outside their
    // people, and on the photographs without people of the training set
    // become hard-negative strips; empty for none.
    QString hardModel;
    // The least score of a false alarm: 0 is the model's own accept rule.
    double hardThreshold = 0;
    // The most false alarms kept from one photograph: on the hard generated
    // photographs AP rose up to 40 and no further (docs/preparing-photographs.md).
    int hardMax = 40;
};
