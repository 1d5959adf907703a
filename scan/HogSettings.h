#pragma once

// The block-normalised gradient histogram ("hog") of a window: 8x8-pixel
// cells, blocks of 2x2 cells every 8 pixels, 9 orientation bins over 0-180
// degrees, each block normalised by L2-Hys.

constexpr int kHogCellSize = 8;
constexpr int kHogBlockSize = 2 * kHogCellSize;
constexpr int kHogBins = 9;
// A block's values: its four cells (top-left, top-right, bottom-left,
// bottom-right), each with its 9 bins in order.
constexpr int kHogBlockLength = 4 * kHogBins;
// A block h becomes h / sqrt(|h|^2 + eps^2), then every value is clipped at
// kHogClip and the block normalised again the same way. eps is a hundredth of
// the least gradient a pixel can have, so it only keeps a flat block (all 0)
// from a division by 0.
constexpr float kHogEpsilon = 0.01f;
constexpr float kHogClip = 0.2f;

struct HogSettings {
    // Multiples of kHogCellSize, at least kHogBlockSize.
    int windowWidth = 64;
    int windowHeight = 128;
    // On, a pixel's vote is shared between its block's four cells by bilinear
    // weights on its distance to their centres; off, it goes to its own cell.
    bool spatialVoting = true;
};

// Blocks across and down a window; a window's features are its blocks, rows
// from top to bottom and blocks from left to right in a row.
inline int hogWindowBlocksAcross(const HogSettings& s)
{
    return s.windowWidth / kHogCellSize - 1;
}
inline int hogWindowBlocksDown(const HogSettings& s)
{
    return s.windowHeight / kHogCellSize - 1;
}
// 3780 for the 64x128 window.
inline int hogFeatureCount(const HogSettings& s)
{
    return hogWindowBlocksAcross(s) * hogWindowBlocksDown(s) * kHogBlockLength;
}
