#pragma once

#include <linear.h>

// Whether a model of two classes, 2000 features and no bias (as the model
// file check lets through) accepts the window whose 2000 counts are hist:
// the label LIBLINEAR's predict gives the histogram's feature row is 0 or
// more.
//
// predict sums weight times value over the row in index order and takes
// the first label when the sum is above 0. A faster sum in another order
// decides when rounding cannot have changed the sign; otherwise that very
// in-order sum does, so the answer is always predict's. Requires finite
// weights, as the model file check ensures.
bool acceptsWindow(const model& m, const int* hist);
