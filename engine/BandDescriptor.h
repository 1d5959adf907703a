#pragma once

#include <QImage>

#include <memory>

// Window histograms of one band of image rows, [Ymin, Ymax), for windows of
// any left and right bound inside the image. A pixel's two filter responses
// depend only on its neighbours inside the window, so the orientation bin of
// every pixel is worked out once per band; only a window's first and last
// columns, which lose a neighbour, are redone per window.
//
// The counts are exactly those of the plain descriptor: every pixel of the
// window votes 1 into the bin of its own 8x8 cell, cells anchored at the
// window's top-left pixel, index cellRow * 80 + cellCol * 8 + bin.
class BandDescriptor
{
public:
    // Requires: image is Format_RGB32 or Format_ARGB32 and outlives this
    // object; 0 <= Ymin <= Ymax <= image height, Ymax - Ymin <= 200.
    BandDescriptor(const QImage& image, int Ymin, int Ymax);
    ~BandDescriptor();
    BandDescriptor(const BandDescriptor&) = delete;
    BandDescriptor& operator=(const BandDescriptor&) = delete;

    int top() const;
    int bottom() const;

    // Adds the votes of the window (Ymin, Xmin, Ymax, Xmax) to hist (2000
    // ints). Requires 0 <= Xmin, Xmax <= image width, Xmax - Xmin <= 80.
    // An empty window adds nothing. Allocates nothing.
    void addWindow(int Xmin, int Xmax, int* hist);

    // Pixels of the image in columns [Xmin, Xmax) and rows [Ymin, Ymax)
    // may have changed (a box was painted): the bins that depend on them are
    // worked out again before the next window is described. The rectangle
    // may reach outside the image and the band.
    void pixelsChanged(int Ymin, int Xmin, int Ymax, int Xmax);

private:
    struct Data;
    std::unique_ptr<Data> d;
};
