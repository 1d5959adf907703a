#pragma once

#include <QImage>

#include <memory>

// The histograms of every 80x200 window of an image whose top-left pixel lies
// on a grid, stride pixels apart in rows and in columns: the search of one
// level of a photograph's pyramid.
//
// The counts are exactly those of the plain descriptor (see BandDescriptor.h),
// yet no window's pixels are filtered for it. Every pixel's bin is worked out
// once with all its neighbours; the 8x8 cells of the grid's windows are summed
// once; and the pixels on a window's edges, which lose the neighbours outside
// it, get their bins once per grid row (top and bottom edges) or grid column
// (left and right edges), so that a window is its cells plus the difference
// its edges make.
class LevelDescriptor
{
public:
    // A descriptor of no window until describe is called.
    LevelDescriptor();
    // The same as describe(image, stride) on a new descriptor.
    LevelDescriptor(const QImage& image, int stride);
    ~LevelDescriptor();
    LevelDescriptor(const LevelDescriptor&) = delete;
    LevelDescriptor& operator=(const LevelDescriptor&) = delete;

    // Describes the windows of image, stride pixels apart, in place of what
    // was described before; the memory of an earlier image is used again, so
    // the levels of many photographs take no new memory once the largest is
    // through. Requires: image is Format_RGB32 or Format_ARGB32 (alpha is
    // ignored); stride >= 1. The image is not needed afterwards.
    void describe(const QImage& image, int stride);

    // Window (r, c) has its top-left pixel on row r * stride and column
    // c * stride, for r < rows() and c < columns(): every such window that
    // lies inside the image. None when the image is lower than 200 rows or
    // narrower than 80 columns.
    int rows() const;
    int columns() const;

    // Adds the votes of window (r, c) to hist (2000 ints), the plain
    // descriptor's counts of that window. Requires r and c in range.
    void addWindow(int r, int c, int* hist) const;

    // Sets scores[r * columns() + c] to the sum of w[j] times count j of
    // window (r, c) over the 2000 counts, for every window: LIBLINEAR's
    // decision value (predict_values' w . x) with the same products, but
    // added in another order and with the four corner cells' counts as
    // differences. It lies within 1e-12 times the sum of |w[j]| times count j
    // of LIBLINEAR's sum: about 2100 roundings of at most 2^-53 each, of
    // terms whose magnitudes add up to little more than that. Which
    // roundings depends on the pixels just outside the window too: the same
    // window in a larger image may score a rounding apart.
    void scoreWindows(const double* w, double* scores) const;

private:
    struct Data;
    std::unique_ptr<Data> d;
};
