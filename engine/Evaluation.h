#pragma once

#include "LocationFile.h"

#include <QByteArray>

#include <vector>

// The counts behind recall and precision.
struct MatchCounts {
    long long GT = 0;  // right boxes
    long long DET = 0; // found boxes
    long long TP1 = 0; // times a right box was credited as found
    long long TP = 0;  // matching (right box, found box) pairs
};

// Pairs every right box with every found box, both in file order. A found
// box matches a right box of the same image when it lies horizontally within
// the right box widened by 40 pixels on either side; rows take no part.
// A found box of another image re-arms the credit, and the first match after
// it credits the right box; the flag carries over from one right box to the
// next, so with the search's grouped output each right box is credited once.
MatchCounts countMatches(const std::vector<Box>& found, const std::vector<Box>& right);

// "Recall = %lf, Precision = %lf " with TP1 / GT and TP / DET, each 0 when
// its divisor is 0, written with a decimal point whatever the locale.
QByteArray resultText(const MatchCounts& counts);
