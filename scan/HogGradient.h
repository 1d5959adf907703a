#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

// The orientation votes of one row of a level's pixels. A pixel's gradient is
// the centred difference [-1, 0, 1] across and down (down counts positive) of
// the channel (red, green, blue; the first on a tie) whose gradient is the
// longest; at the level's edges the edge pixels stand for the missing
// neighbours. Its unsigned orientation, 0 to 180 degrees, falls between two of
// the 9 bins centred at 10, 30, ..., 170 degrees (170 and 10 wrap round), and
// its length is shared linearly between them.
struct HogRowVotes {
    std::vector<std::int32_t> bin; // the lower bin, 0..8; the upper one is bin + 1, 9 being 0
    std::vector<float> lower;      // the vote for the lower bin
    std::vector<float> upper;      // the vote for the upper bin
    std::vector<float> dx;         // work, kept to use its memory again
    std::vector<std::int32_t> index;
};

// Fills votes with the first width pixels of row y of image. Requires image
// Format_RGB32 or Format_ARGB32 (alpha is ignored), y inside it and width at
// most its width.
void hogRowVotes(const QImage& image, int y, int width, HogRowVotes& votes);
