#pragma once

#include "LocationFile.h"
#include "PhotoScan.h"

#include <QSize>

#include <vector>

// The boxes in whole pixels of a photograph of size photo: each side rounded
// to the nearest pixel border and kept inside the photograph.
std::vector<Box> roundedBoxes(const std::vector<ScoredBox>& found, QSize photo);

// The boxes that roundedBoxes leaves at least a pixel wide and high: a window
// that reaches past the photograph's edge may stand for a person outside it.
std::vector<ScoredBox> boxesInside(std::vector<ScoredBox> found, QSize photo);
