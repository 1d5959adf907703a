#pragma once

#include <QImage>
#include <QSize>

#include <vector>

// For each level pixel along one axis: the first photograph pixel it takes
// and the weights of that and the following pixels, as many for every pixel
// (the most any pixel needs; the extra weights are 0 and their pixels inside
// the photograph).
struct ResamplingTaps {
    int count = 0;              // weights per pixel
    std::vector<int> first;     // first[d]: the first photograph pixel of level pixel d
    std::vector<float> weights; // weights[d * count + k]: the weight of pixel first[d] + k
};

// Rows of one level of the pyramid: the photograph resampled to a size,
// each axis on its own, by averaging the photograph pixels that a level
// pixel covers where the level is smaller and by linear interpolation
// between the nearest pixel centres where it is larger. Rows are made a band
// at a time, so that no level of a large photograph needs to be held whole.
// A level the size of the photograph is the photograph. A level may be
// extended by a border that repeats its edge pixels, so that windows reach
// past the photograph's edges.
class LevelScaler
{
public:
    // Requires: photo is Format_RGB32 or Format_ARGB32, not empty, and
    // outlives this object; size is not empty; border >= 0 level pixels on
    // every side.
    LevelScaler(const QImage& photo, QSize size, int border = 0);

    // Fills out, Format_RGB32, with the extended level's pixels from row top
    // and column left on: the same as those of the whole extended level.
    // Requires them inside it.
    void rows(int top, int left, QImage& out) const;

private:
    const QImage& photo;
    QSize size;
    ResamplingTaps across;
    ResamplingTaps down;
};

// image resampled to size as a level of the pyramid is: the one way an image
// changes size on its way to the descriptor, in the search and in training
// data alike. Requires image Format_RGB32 or Format_ARGB32, size not empty.
// A null image means that memory ran out (or image was null).
QImage resampled(const QImage& image, QSize size);
