#pragma once

#include "LocationFile.h"

#include <QByteArray>

#include <vector>

// The counts behind recall and precision.
struct MatchCounts {
    long long GT = 0;  // right boxes
    long long DET = 0; // found boxes
    long long TP1 = 0; // right boxes that match at least one found box
    long long TP = 0;  // found boxes that match at least one right box
};

// A found box matches a right box of the same image when it lies
// horizontally within the right box widened by 40 pixels on either side;
// rows take no part. Each box counts once however many boxes it matches,
// and the counts do not depend on the order of the lines.
MatchCounts countMatches(const std::vector<Box>& found, const std::vector<Box>& right);

// "Recall = %lf, Precision = %lf " with TP1 / GT and TP / DET, each 0 when
// its divisor is 0, written with a decimal point whatever the locale.
QByteArray resultText(const MatchCounts& counts);
