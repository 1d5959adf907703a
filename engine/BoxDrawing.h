#pragma once

#include "LocationFile.h"

#include <vector>

class QImage;

// Draws each box's outline into a 32-bit image with the search's painter,
// its coordinates first multiplied by scale, so that a reduced copy of an
// image gets outlines as sharp as the full one.
void drawBoxes(QImage& image, const std::vector<Box>& boxes, double scale = 1.0);
