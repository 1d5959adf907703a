#pragma once

// The search window and its histogram: 80x200 pixels, cells of 8x8 pixels,
// 8 orientation bins per cell, so 25 cell rows of 10 cells and 2000 counts.
constexpr int kWindowWidth = 80;
constexpr int kWindowHeight = 200;
constexpr int kCellSize = 8;
constexpr int kBins = 8;
constexpr int kCellCols = kWindowWidth / kCellSize;
constexpr int kCellRows = kWindowHeight / kCellSize;
constexpr int kHistSize = kCellRows * kCellCols * kBins;
static_assert(kHistSize == 2000, "the feature row has 2000 entries");
