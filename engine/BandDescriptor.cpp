#include "BandDescriptor.h"

#include "OrientationBin.h"
#include "Window.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <vector>

namespace
{

// The band's channel levels are kept column by column, so that a column's
// bins come from loops over its rows with fixed trip counts, which the
// compiler turns into vector code. Column runs have a zero entry above the
// band and zeros below it: out-of-band neighbours add nothing, like dropped
// ones. A run holds row y at index 1 + y - top.
using Level = std::int16_t;
constexpr int kRun = kWindowHeight + 4; // the row above, 200 rows, the row below, padding

using Cuts = std::array<float, 7>;

// For rows 0 to Rows - 1 of one channel, the quotient Y / X of the filter
// responses (see OrientationBin.h). l, m and r are the channel's runs in the
// columns to the left, at and to the right of the pixels, from the row above.
template <int Rows>
void channelQuotients(const Level* __restrict l, const Level* __restrict m,
                      const Level* __restrict r, float* __restrict quotient)
{
    for (int k = 0; k < Rows; ++k) {
        const Level X =
            static_cast<Level>(responseX(l[k], m[k], r[k], l[k + 2], m[k + 2], r[k + 2]));
        const Level Y =
            static_cast<Level>(responseY(l[k], l[k + 1], l[k + 2], r[k], r[k + 1], r[k + 2]));
        quotient[k] = orientationQuotient(X, Y);
    }
}

// The bins of rows 0 to Rows - 1: the bin of the largest angle of the three
// channels is the bin of their largest quotient. left, middle and right point
// at the row above in the red runs of the three columns; green and blue follow
// at kRun and 2 * kRun.
template <int Rows>
void columnBins(const Level* left, const Level* middle, const Level* right, const Cuts& cuts,
                int* __restrict bins)
{
    float red[Rows];
    float green[Rows];
    float blue[Rows];
    channelQuotients<Rows>(left, middle, right, red);
    channelQuotients<Rows>(left + kRun, middle + kRun, right + kRun, green);
    channelQuotients<Rows>(left + 2 * kRun, middle + 2 * kRun, right + 2 * kRun, blue);
    for (int k = 0; k < Rows; ++k) {
        // Copies, not references into the arrays, keep std::max vectorised.
        const float r = red[k], g = green[k], b = blue[k];
        bins[k] = binOfQuotient(std::max(std::max(r, g), b), cuts);
    }
}

std::uint64_t packVotes(const int* bins, int rows)
{
    std::uint64_t votes = 0;
    for (int k = 0; k < rows; ++k)
        votes += oneVote(bins[k]);
    return votes;
}

void addVotes(std::uint64_t votes, int* counts)
{
    std::uint8_t bytes[kBins];
    countsOfVotes(votes, bytes);
    for (int b = 0; b < kBins; ++b)
        counts[b] += bytes[b];
}

// Stores the pixel's channels at red and the same place of the green and blue
// runs; alpha is ignored.
void storeLevels(Level* red, QRgb p)
{
    red[0] = static_cast<Level>(qRed(p));
    red[kRun] = static_cast<Level>(qGreen(p));
    red[2 * kRun] = static_cast<Level>(qBlue(p));
}

} // namespace

struct BandDescriptor::Data {
    const QImage& image;
    int top;
    int bottom;
    int width;
    int blocks; // cell rows, the last one possibly partial
    // Three runs (red, green, blue) per column, column x from x * 3 * kRun.
    std::vector<Level> levels;
    std::vector<Level> zeros; // the runs of a dropped column
    // votes[block * width + x]: the votes of column x in the cell row, with
    // both neighbours wherever the image has them.
    std::vector<std::uint64_t> votes;
    std::vector<char> stale; // same index: pixels under them changed
    Cuts cuts;

    Data(const QImage& image, int Ymin, int Ymax)
        : image(image), top(Ymin), bottom(Ymax), width(image.width()),
          blocks((Ymax - Ymin + kCellSize - 1) / kCellSize),
          levels(static_cast<size_t>(width) * 3 * kRun), zeros(3 * kRun),
          votes(static_cast<size_t>(blocks) * width), stale(votes.size()), cuts(orientationCuts())
    {
    }

    Level* run(int x) { return levels.data() + static_cast<size_t>(x) * 3 * kRun; }
    const Level* run(int x) const { return levels.data() + static_cast<size_t>(x) * 3 * kRun; }
    size_t at(int x, int block) const { return static_cast<size_t>(block) * width + x; }
    int rowsOf(int block) const { return std::min(kCellSize, bottom - top - block * kCellSize); }

    // The bins of Rows rows of column x from the given offset in its runs,
    // the missing neighbours dropped.
    template <int Rows> void bins(int x, int offset, bool hasLeft, bool hasRight, int* out) const
    {
        const Level* left = hasLeft ? run(x - 1) : zeros.data();
        const Level* right = hasRight ? run(x + 1) : zeros.data();
        columnBins<Rows>(left + offset, run(x) + offset, right + offset, cuts, out);
    }

    // The votes of every cell row of column x, stride apart in out.
    void columnVotes(int x, bool hasLeft, bool hasRight, std::uint64_t* out, size_t stride) const
    {
        int all[kWindowHeight];
        bins<kWindowHeight>(x, 0, hasLeft, hasRight, all);
        for (int block = 0; block < blocks; ++block)
            out[block * stride] = packVotes(all + block * kCellSize, rowsOf(block));
    }

    std::uint64_t blockVotes(int x, int block) const
    {
        int some[kCellSize];
        bins<kCellSize>(x, block * kCellSize, x > 0, x + 1 < width, some);
        return packVotes(some, rowsOf(block));
    }
};

BandDescriptor::BandDescriptor(const QImage& image, int Ymin, int Ymax)
    : d(std::make_unique<Data>(image, Ymin, Ymax))
{
    assert(0 <= Ymin && Ymin <= Ymax && Ymax <= image.height() && Ymax - Ymin <= kWindowHeight);
    if (d->blocks == 0)
        return;
    // A cell row of lines at a time, so that the writes down each column
    // stay within a cache line.
    for (int y = Ymin; y < Ymax; y += kCellSize) {
        const int rows = std::min(kCellSize, Ymax - y);
        const QRgb* lines[kCellSize];
        for (int k = 0; k < rows; ++k)
            lines[k] = reinterpret_cast<const QRgb*>(image.constScanLine(y + k));
        for (int x = 0; x < d->width; ++x) {
            Level* red = d->run(x) + 1 + (y - Ymin);
            for (int k = 0; k < rows; ++k)
                storeLevels(red + k, lines[k][x]);
        }
    }
    for (int x = 0; x < d->width; ++x)
        d->columnVotes(x, x > 0, x + 1 < d->width, d->votes.data() + x, d->width);
}

BandDescriptor::~BandDescriptor() = default;

int BandDescriptor::top() const
{
    return d->top;
}

int BandDescriptor::bottom() const
{
    return d->bottom;
}

void BandDescriptor::addWindow(int Xmin, int Xmax, int* hist)
{
    assert(0 <= Xmin && Xmax <= d->width && Xmax - Xmin <= kWindowWidth);
    if (Xmax <= Xmin || d->blocks == 0)
        return;
    const int last = Xmax - 1;
    // The window's first and last columns lose the neighbour outside it,
    // unless the image's edge dropped that neighbour already.
    const bool redoFirst = Xmin > 0 || (Xmin == last && last + 1 < d->width);
    const bool redoLast = last != Xmin && last + 1 < d->width;
    std::array<std::uint64_t, kCellRows> firstVotes{};
    std::array<std::uint64_t, kCellRows> lastVotes{};
    if (redoFirst)
        d->columnVotes(Xmin, false, Xmin < last, firstVotes.data(), 1);
    if (redoLast)
        d->columnVotes(last, true, false, lastVotes.data(), 1);

    for (int block = 0; block < d->blocks; ++block) {
        const std::uint64_t* votes = &d->votes[d->at(0, block)];
        int* counts = hist + block * kCellCols * kBins;
        for (int x = Xmin; x < Xmax; x += kCellSize) {
            const int end = std::min(x + kCellSize, Xmax);
            std::uint64_t cell = 0;
            for (int i = x; i < end; ++i)
                cell += votes[i];
            // No byte borrows: the replaced column's votes are in the sum.
            if (x == Xmin && redoFirst)
                cell += firstVotes[block] - votes[Xmin];
            if (end == Xmax && redoLast)
                cell += lastVotes[block] - votes[last];
            addVotes(cell, counts + (x - Xmin) / kCellSize * kBins);
        }
    }
}

void BandDescriptor::pixelsChanged(int Ymin, int Xmin, int Ymax, int Xmax)
{
    const int y0 = std::max(Ymin, d->top);
    const int y1 = std::min(Ymax, d->bottom);
    const int x0 = std::max(Xmin, 0);
    const int x1 = std::min(Xmax, d->width);
    if (y0 >= y1 || x0 >= x1)
        return;
    // Only pixels whose colour really changed matter: a box painted over an
    // earlier one changes few of them.
    for (int y = y0; y < y1; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(d->image.constScanLine(y));
        for (int x = x0; x < x1; ++x) {
            Level* red = d->run(x) + 1 + (y - d->top);
            const QRgb p = line[x];
            if (red[0] == qRed(p) && red[kRun] == qGreen(p) && red[2 * kRun] == qBlue(p))
                continue;
            storeLevels(red, p);
            // The cell rows of rows y - 1 to y + 1, in columns x - 1 to x + 1.
            const int firstBlock = std::max(y - 1 - d->top, 0) / kCellSize;
            const int lastBlock = std::min(y + 1 - d->top, d->bottom - d->top - 1) / kCellSize;
            for (int block = firstBlock; block <= lastBlock; ++block) {
                for (int n = std::max(x - 1, 0); n <= std::min(x + 1, d->width - 1); ++n)
                    d->stale[d->at(n, block)] = 1;
            }
        }
    }
    const int firstBlock = std::max(y0 - 1 - d->top, 0) / kCellSize;
    const int lastBlock = std::min(y1 - d->top, d->bottom - d->top - 1) / kCellSize;
    for (int block = firstBlock; block <= lastBlock; ++block) {
        for (int x = std::max(x0 - 1, 0); x <= std::min(x1, d->width - 1); ++x) {
            char& stale = d->stale[d->at(x, block)];
            if (stale)
                d->votes[d->at(x, block)] = d->blockVotes(x, block);
            stale = 0;
        }
    }
}
