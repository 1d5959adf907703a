#pragma once

#include "HogSettings.h"

#include <QImage>

#include <vector>

// The normalised blocks of one level of a photograph's pyramid, and through
// them every window whose top-left pixel lies on the 8-pixel grid. Block
// (column, row) covers the level's pixels [8 column, 8 column + 16) x
// [8 row, 8 row + 16) and depends on nothing else (besides the ring of
// neighbours its gradients take), so a block is described once and is the
// same in every window that holds it.
//
// Held: the blocks, 36 floats per 8x8 pixels (2.25 bytes a pixel of the
// level), and while describing, work of about 210 bytes a pixel column; the
// level is read a row at a time.
//
// Values are floats, summed in an order of their own: every value lies within
// 1e-4 of the plain definition worked in double (tests/ReferenceBlockHog).
// A cell sum carries at most a few dozen float roundings (2^-24 each) of the
// block's whole vote mass (a block's first cell is its votes less its second
// cell's, whose error it takes on); a block's L2 norm is at least a sixth of
// that mass (36 values), so normalising twice leaves at most about
// 2 x 6 x 40 x 2^-24 = 3e-5 on values of at most 1. Seen: below 2e-7.
class HogLevel
{
public:
    explicit HogLevel(HogSettings settings = {});

    // Describes image in place of what was described before, in the blocks'
    // memory of an earlier level when it is large enough.
    // Requires image Format_RGB32 or Format_ARGB32 (alpha is ignored).
    void describe(const QImage& image);

    const HogSettings& settings() const { return settings_; }

    // Blocks that lie inside the level: none when it is narrower or lower
    // than 16 pixels.
    int blocksAcross() const { return blocksAcross_; }
    int blocksDown() const { return blocksDown_; }
    // The 36 values of block (column, row). Requires it in range.
    const float* block(int column, int row) const;

    // Windows inside the level, their top-left pixels 8 apart: window
    // (column, row) starts at pixel (8 column, 8 row).
    int windowsAcross() const;
    int windowsDown() const;

    // Sets scores[row * windowsAcross() + column] to bias plus the dot product
    // of weights (hogFeatureCount() of them) and window (column, row)'s
    // features, for every window. The products are added in float, a row of
    // the window's blocks at a time, 8 sums side by side; each row's sum then
    // in double: a score lies within 1e-5 times the sum of |weight x feature|
    // of the exact dot product (at most 36 roundings of 2^-24 in a row).
    void scoreWindows(const std::vector<float>& weights, double bias,
                      std::vector<double>& scores) const;

private:
    HogSettings settings_;
    int blocksAcross_ = 0;
    int blocksDown_ = 0;
    std::vector<float> blocks_;
};

// The features of window (column, row) of level: hogFeatureCount() values,
// its blocks' rows from top to bottom, blocks from left to right in a row,
// each block's values in their order (see kHogBlockLength). Requires the
// window in range.
std::vector<float> hogWindowFeatures(const HogLevel& level, int column, int row);
