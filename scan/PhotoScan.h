#pragma once

#include "LevelDescriptor.h"
#include "PhotoBox.h"

#include <QImage>

#include <vector>

struct model;

// A person found: the box in photograph pixels (maxima exclusive, not yet
// rounded) and its score.
struct ScoredBox : PhotoBox {
    double score = 0;
};

// How the pyramid is searched; the defaults are the command line's.
struct ScanSettings {
    int minHeight = 80;     // lowest person looked for, photograph pixels
    double scaleStep = 1.2; // most ratio between neighbouring levels
    int stride = 8;         // pixels between windows of a level, in rows and columns
    double threshold = 0;   // least score of a candidate
    int border = 0;         // photograph pixels that windows reach past each edge
    int levelBorder = 0;    // level pixels more that windows reach past each edge
};

// The model's weights turned towards the object: LIBLINEAR's predict takes
// the first label when w . x > 0, so when the object label (the one >= 0) is
// the second, every weight changes sign, which is exact. A window's score is
// then its decision value for the object: 0 or more where Ombrec's search
// accepts it (a score of exactly 0 is accepted there only when the object
// label comes second). Requires a model that loadModelFile accepts.
std::vector<double> objectWeights(const model& m);

// A level is described a tile at a time: a band of window rows, cut across
// when the level is wide, so that a large photograph scaled up for small
// people never needs all of its level at once. A tile takes about this much
// memory; every level of a 640x480 photograph at the default stride is one
// tile.
constexpr double kTileBytes = 64.0 * (1 << 20);

// Searches photographs one after another, keeping the memory of the
// largest level it has described for the next (see LevelDescriptor).
class PhotoScanner
{
public:
    // weights are objectWeights; tileBytes bounds a tile's memory, and
    // changes no detection.
    PhotoScanner(const std::vector<double>& weights, const ScanSettings& settings,
                 double tileBytes = kTileBytes);

    // Every window of every level of the photograph (see Pyramid.h), each
    // level extended by settings.border photograph pixels and
    // settings.levelBorder level pixels that repeat its edges, whose score is
    // at least settings.threshold, as the person box it stands for (which may
    // reach past the photograph).
    // A photograph with no level that holds a window gives none. Requires
    // photo Format_RGB32 or Format_ARGB32. Throws std::bad_alloc when memory
    // runs out.
    std::vector<ScoredBox> scan(const QImage& photo);

private:
    // A window that scores at least the threshold, by its place in the level.
    struct Candidate {
        int row;
        int column;
        double score;
    };

    std::vector<double> weights;
    ScanSettings settings;
    double tileBytes;
    LevelDescriptor level;
    std::vector<QRgb> tile;
    std::vector<double> scores;
    std::vector<Candidate> candidates;
};

// How many windows scan scores in a photograph of size photo: 0 when no
// level holds one.
long long windowCount(QSize photo, const ScanSettings& settings);
