#pragma once

#include "PhotoBox.h"

// The two kinds of box a measurement compares, in photo pixels counted from
// 0 at the top-left corner, maxima exclusive.

// One box a detector found.
struct FoundBox : PhotoBox {
    int photo = 0; // the photograph's number in the measurement
    double score = 0;
    int line = 0; // in the detections file, for messages
};

// A right box.
struct TruthBox : PhotoBox {
    // Found or missed, it counts neither way.
    bool difficult = false;
};
