#pragma once

#include "LocationFile.h"

#include <vector>

// One image to draw: its number and every box the location file gives it.
struct FoundImage {
    int Num = 0;
    std::vector<Box> boxes;
};

// Gathers the boxes by image. The images come in the order of names, each
// once, then any other image of boxes in the order it first appears there.
// An image named but without boxes is kept with none.
std::vector<FoundImage> groupByImage(const std::vector<Box>& boxes, const std::vector<int>& names);
