#pragma once

#include <QImage>

// The window descriptor written as plainly as its definition reads, kept as
// the reference that the fast engine is checked against.

// The orientation angle of one channel: atan(Y / X) + pi / 2 in double, and
// pi / 2 when X is 0.
double referenceAngle(int X, int Y);
// The bin of an angle: the integer part of angle / pi * 8, in double.
int referenceBin(double angle);

// Adds the votes of the window (Ymin, Xmin, Ymax, Xmax) of image to hist
// (2000 ints): every pixel one vote into the bin of its 8x8 cell at index
// cellRow * 80 + cellCol * 8 + bin. Requires the window inside the image, at
// most 80 wide and 200 high.
void referenceMakeHOG(const QImage& image, int* hist, int Ymin, int Xmin, int Ymax, int Xmax);
