#pragma once

#include "Detector.h"
#include "HogLevel.h"
#include "PhotoScan.h"

#include <QImage>
#include <QSize>

#include <vector>

// Level pixels that a hog detector's windows reach past each edge unless
// asked otherwise, in training and in the search alike: a quarter of the
// 128-row window at every scale, so that a person as tall as the photograph,
// or cut off by the frame, is found (measured in docs/whole-photographs.md).
constexpr int kDefaultHogLevelBorder = 32;

// A window of a photograph's pyramid: its level (an index into
// hogLevelScales, ascending) and its place on that level's 8-pixel grid,
// counted in the level extended by its border.
struct HogPlace {
    int level = 0;
    int column = 0;
    int row = 0;
};

// A window that scored at least the threshold: the person box it stands for
// in photograph pixels (maxima exclusive, not rounded, possibly past the
// photograph's edges), its score, and its place.
struct HogFound : ScoredBox {
    HogPlace place;
};

// The scales, ascending, at which a photograph of size photo is searched
// with detector: from the least at which the photograph and its border hold
// the window's height, to the one at which a person settings.minHeight rows
// high fills the detector's person height, each at most settings.scaleStep
// times the one before. Empty when the photograph is lower than minHeight.
std::vector<double> hogLevelScales(QSize photo, const Detector& detector,
                                   const ScanSettings& settings);

// How many windows HogScanner::scan scores in a photograph of size photo.
long long hogWindowCount(QSize photo, const Detector& detector, const ScanSettings& settings);

// Searches photographs with a hog detector, one after another, keeping the
// memory of the largest level for the next. settings.stride is a multiple
// of 8: every (stride / 8)-th window of the grid across and down is scored.
// A level whose pixels and blocks would take more than tileBytes is
// described a band of window rows at a time, each from a cell row above its
// first window to one below its last, so that its blocks are the whole
// level's to the last bit; tileBytes changes no score.
class HogScanner
{
public:
    HogScanner(const Detector& detector, const ScanSettings& settings,
               double tileBytes = kTileBytes);

    // Every window of every level (each level extended by the border, its
    // edge pixels repeated) whose score is at least settings.threshold, level
    // by level from the largest, rows from the top. Requires photo
    // Format_RGB32 or Format_ARGB32. Throws std::bad_alloc when memory runs
    // out.
    std::vector<HogFound> scan(const QImage& photo);

    // The features of the windows at places (from scan of the same photograph
    // with the same settings), in their order: exactly those the scan scored.
    std::vector<std::vector<float>> features(const QImage& photo,
                                             const std::vector<HogPlace>& places);

private:
    Detector detector;
    ScanSettings settings;
    double tileBytes;
    HogLevel level;
    std::vector<QRgb> pixels;
    std::vector<double> scores;
};
