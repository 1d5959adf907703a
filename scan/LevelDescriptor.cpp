#include "LevelDescriptor.h"

#include "OrientationBin.h"
#include "VectorClones.h"
#include "Window.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace
{

using Level = std::int16_t;
using Cuts = std::array<float, 7>;

// Bins are worked out kChunk pixels at a time: loops with fixed trip counts
// turn into vector code. Runs are padded so that the last chunk may read on.
constexpr int kChunk = 64;
constexpr int kSlack = kChunk + 2;
constexpr int kRowWeights = kCellCols * kBins;

// The cells of a window's corners, in the order of Data::corners.
constexpr int kCornerCells[4] = {0, kCellCols - 1, (kCellRows - 1) * kCellCols,
                                 kCellRows* kCellCols - 1};

OMBRE_INLINE std::uint8_t binOf(float q, const Cuts& cuts)
{
    return static_cast<std::uint8_t>(binOfQuotient(q, cuts));
}

// For kChunk pixels of one channel, the quotient Y / X of the filter
// responses. Pixel k's neighbours are u[k..k+2], m[k..k+2] and d[k..k+2]: the
// rows above, at and below it.
OMBRE_INLINE void channelQuotients(const Level* __restrict u, const Level* __restrict m,
                                   const Level* __restrict d, float* __restrict out)
{
    for (int k = 0; k < kChunk; ++k) {
        const Level X =
            static_cast<Level>(responseX(u[k], u[k + 1], u[k + 2], d[k], d[k + 1], d[k + 2]));
        const Level Y =
            static_cast<Level>(responseY(u[k], m[k], d[k], u[k + 2], m[k + 2], d[k + 2]));
        out[k] = orientationQuotient(X, Y);
    }
}

// The bins of n pixels of a row whose neighbours are in the runs up, mid and
// down (see channelQuotients); green and blue follow red at channel and
// 2 * channel. A run of zeros drops those neighbours.
OMBRE_VECTOR_CLONES void rowBins(const Level* up, const Level* mid, const Level* down,
                                 std::ptrdiff_t channel, int n, const Cuts& cuts, std::uint8_t* out)
{
    for (int k = 0; k < n; k += kChunk) {
        float red[kChunk];
        float green[kChunk];
        float blue[kChunk];
        channelQuotients(up + k, mid + k, down + k, red);
        channelQuotients(up + channel + k, mid + channel + k, down + channel + k, green);
        channelQuotients(up + 2 * channel + k, mid + 2 * channel + k, down + 2 * channel + k, blue);
        std::uint8_t bins[kChunk];
        for (int j = 0; j < kChunk; ++j) {
            // Copies, not references into the arrays, keep std::max vectorised.
            const float r = red[j], g = green[j], b = blue[j];
            bins[j] = binOf(std::max(std::max(r, g), b), cuts);
        }
        std::memcpy(out + k, bins, static_cast<size_t>(std::min(kChunk, n - k)));
    }
}

// The bins of n pixels of edge columns, the column outside the window
// dropped, from the values, per channel, of the pixel's column (e) and of its
// neighbour inside the window (in) in the rows above (0), at (1) and below
// (2): X = 2 (e0 - e2) + (in0 - in2) and Y = sign (in0 + 2 in1 + in2), sign
// -1 for left edges and 1 for right ones. Green and blue follow red at
// channel and 2 * channel.
OMBRE_VECTOR_CLONES void edgeColumnBins(const Level* e0, const Level* e2, const Level* in0,
                                        const Level* in1, const Level* in2, std::ptrdiff_t channel,
                                        int sign, int n, const Cuts& cuts, std::uint8_t* out)
{
    for (int k = 0; k < n; k += kChunk) {
        float q[3][kChunk];
        for (int c = 0; c < 3; ++c) {
            const std::ptrdiff_t o = c * channel + k;
            for (int j = 0; j < kChunk; ++j) {
                const Level X = static_cast<Level>(
                    responseX(0, e0[o + j], in0[o + j], 0, e2[o + j], in2[o + j]));
                const Level Y = static_cast<Level>(
                    sign * responseY(in0[o + j], in1[o + j], in2[o + j], 0, 0, 0));
                q[c][j] = orientationQuotient(X, Y);
            }
        }
        std::uint8_t bins[kChunk];
        for (int j = 0; j < kChunk; ++j) {
            const float r = q[0][j], g = q[1][j], b = q[2][j];
            bins[j] = binOf(std::max(std::max(r, g), b), cuts);
        }
        std::memcpy(out + k, bins, static_cast<size_t>(std::min(kChunk, n - k)));
    }
}

// The bins of n pixels from their responses, red's at X[k] and Y[k], green's
// and blue's channel and 2 * channel further on.
OMBRE_VECTOR_CLONES void responseBins(const Level* X, const Level* Y, std::ptrdiff_t channel, int n,
                                      const Cuts& cuts, std::uint8_t* out)
{
    for (int k = 0; k < n; k += kChunk) {
        std::uint8_t bins[kChunk];
        for (int j = 0; j < kChunk; ++j) {
            const float r = orientationQuotient(X[k + j], Y[k + j]);
            const float g = orientationQuotient(X[channel + k + j], Y[channel + k + j]);
            const float b = orientationQuotient(X[2 * channel + k + j], Y[2 * channel + k + j]);
            bins[j] = binOf(std::max(std::max(r, g), b), cuts);
        }
        std::memcpy(out + k, bins, static_cast<size_t>(std::min(kChunk, n - k)));
    }
}

// The votes of n columns over 8 rows of bins (see oneVote).
OMBRE_VECTOR_CLONES void blockVotes(const std::uint8_t* bins, std::ptrdiff_t width, int n,
                                    std::uint64_t* votes)
{
    for (int x = 0; x < n; ++x) {
        std::uint64_t sum = 0;
        for (int k = 0; k < kCellSize; ++k)
            sum += oneVote(bins[k * width + x]);
        votes[x] = sum;
    }
}

// Four doubles, for sums that the compiler keeps in vector registers.
typedef double Quad __attribute__((vector_size(32)));

// For each of N windows, adds weights[k] times values[n][k] for k < length,
// a multiple of 4, to window n's sum, four products at a time. Each weight is
// loaded once for all the windows, and a window's sum comes out the same
// whatever windows share its group.
template <int N>
OMBRE_INLINE void addProducts(const double* weights, const double* const (&values)[N], int length,
                              Quad (&sums)[N])
{
    for (int k = 0; k < length; k += 4) {
        Quad w;
        std::memcpy(&w, weights + k, sizeof w);
        for (int n = 0; n < N; ++n) {
            Quad v;
            std::memcpy(&v, values[n] + k, sizeof v);
            sums[n] += w * v;
        }
    }
}

// Memory for values that are written before they are read: it grows without
// copying or clearing what it held, and is kept for the next image.
template <typename T> class Scratch
{
public:
    T* resize(size_t n)
    {
        if (n > capacity) {
            values.reset(new T[n]);
            capacity = n;
        }
        return values.get();
    }
    T* data() const { return values.get(); }
    T& operator[](size_t i) const { return values[i]; }

private:
    std::unique_ptr<T[]> values;
    size_t capacity = 0;
};

} // namespace

struct LevelDescriptor::Data {
    int width = 0;
    int height = 0;
    int stride = 1;
    int rows = 0;
    int columns = 0;
    // The remainders modulo 8 of the grid's rows and columns: each gives its
    // own cells.
    std::vector<int> rowPhases;
    std::vector<int> columnPhases;
    std::array<int, kCellSize> rowPhaseIndex{};
    std::array<int, kCellSize> columnPhaseIndex{};
    int blockRows = 0; // 8-row blocks of the height
    int blockCols = 0; // 8-column blocks of the width

    // The image's channel levels: per row three runs (red, green, blue) of
    // width + 2 entries with a zero at either end, and a zero row above and
    // below the image, so that neighbours outside the image add nothing.
    std::ptrdiff_t run = 0;
    std::ptrdiff_t pitch = 0;
    Scratch<Level> planes;
    std::vector<Level> zeros; // a row or run of dropped neighbours
    // Every pixel's bin with all its neighbours.
    Scratch<std::uint8_t> bins;

    // The counts of every full 8x8 cell of each pair of phases, with every
    // neighbour: cell (h, g) of phases (q, p) covers rows q + 8h to q + 8h + 7
    // and columns p + 8g to p + 8g + 7; its bin b is at cellsAt(qi, pi) +
    // (h * blockCols + g) * 8 + b.
    Scratch<double> cells;
    // The cells of the top cell row of the windows of row r, as they see
    // them: the pixels of their first row with the row above dropped, at
    // topAt(r, pi) + g * 8 + b. The same for the bottom cell row, whose last
    // pixel row drops the row below.
    Scratch<double> top;
    Scratch<double> bottom;
    // The cells of the first cell column of the windows of column c, as they
    // see them, the column to the left dropped, at leftAt(c, qi) + h * 8 + b.
    // The same for the last cell column and the column to the right.
    Scratch<double> left;
    Scratch<double> right;
    // Per window and corner (top-left, top-right, bottom-left, bottom-right),
    // four bins of the corner pixel: with both outside neighbours dropped, with
    // only the row's, with only the column's, and with none. A corner cell is
    // its edge row's cell plus its edge column's less its plain cell, which
    // counts the pixel with the second bin plus the third less the fourth.
    Scratch<std::uint8_t> corners;

    // Work space. The bins of the edge columns (the left edges of the window
    // columns, then their right edges) row after row, without and with the
    // neighbour outside the window, and the values they come from; the bins
    // of one edge row; a block's votes per column; corners' responses.
    Scratch<std::uint8_t> columnEdge;
    Scratch<std::uint8_t> columnInner;
    Scratch<Level> edgeValues;
    Scratch<std::uint8_t> rowEdge;
    Scratch<std::uint64_t> votes;
    Scratch<Level> responses;

    const Level* row(int y) const { return planes.data() + (y + 1) * pitch; }
    const std::uint8_t* binsOfRow(int y) const
    {
        return bins.data() + static_cast<size_t>(y) * width;
    }
    size_t cellsAt(int qi, int pi) const
    {
        return (static_cast<size_t>(qi) * columnPhases.size() + pi) * blockRows * blockCols * kBins;
    }
    size_t topAt(int r, int pi) const
    {
        return (static_cast<size_t>(r) * columnPhases.size() + pi) * blockCols * kBins;
    }
    size_t leftAt(int c, int qi) const
    {
        return (static_cast<size_t>(c) * rowPhases.size() + qi) * blockRows * kBins;
    }
    size_t cornersAt(int r, int c, int corner) const
    {
        return (static_cast<size_t>(r) * columns + c) * 16 + corner * 4;
    }

    void readPlanes(const QImage& image);
    void sumCells();
    void describeEdgeRows(const Cuts& cuts);
    void describeEdgeColumns(const Cuts& cuts);
    void describeCorners(const Cuts& cuts);
    template <int N> OMBRE_INLINE void scoreGroup(int r, int c, const double* w, double* out) const;
    OMBRE_VECTOR_CLONES void scoreRow(int r, const double* w, double* out) const;
};

namespace
{

// The distinct remainders modulo 8 of k * stride for k < count, and the place
// of each remainder in that list (-1 for none).
std::vector<int> phasesOf(int stride, int count, std::array<int, kCellSize>& index)
{
    index.fill(-1);
    std::vector<int> phases;
    for (int k = 0; k < std::min(count, kCellSize); ++k) {
        const int phase = static_cast<int>(static_cast<long long>(k) * stride % kCellSize);
        if (index[phase] < 0) {
            index[phase] = static_cast<int>(phases.size());
            phases.push_back(phase);
        }
    }
    return phases;
}

// The channels of n pixels: red at out, green at out + run, blue at
// out + 2 * run.
OMBRE_VECTOR_CLONES void channelLevels(const QRgb* line, int n, std::ptrdiff_t run, Level* out)
{
    for (int x = 0; x < n; ++x) {
        out[x] = static_cast<Level>(qRed(line[x]));
        out[run + x] = static_cast<Level>(qGreen(line[x]));
        out[2 * run + x] = static_cast<Level>(qBlue(line[x]));
    }
}

// A cell's counts as an edge of a window sees them: its plain counts, with
// the votes of edge[k * step] instead of those of inner[k * step] for k < n.
void edgeCell(const std::uint8_t* edge, const std::uint8_t* inner, std::ptrdiff_t step, int n,
              const double* plain, double* out)
{
    int counts[kBins] = {};
    for (int k = 0; k < n; ++k) {
        ++counts[edge[k * step]];
        --counts[inner[k * step]];
    }
    for (int b = 0; b < kBins; ++b)
        out[b] = plain[b] + counts[b];
}

} // namespace

void LevelDescriptor::Data::readPlanes(const QImage& image)
{
    run = width + 2;
    pitch = 3 * run;
    planes.resize(static_cast<size_t>(height + 2) * pitch + kSlack);
    std::fill_n(planes.data(), pitch, Level(0));
    std::fill_n(planes.data() + (height + 1) * pitch, pitch + kSlack, Level(0));
    for (int y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        Level* red = planes.data() + (y + 1) * pitch;
        for (int channel = 0; channel < 3; ++channel) {
            red[channel * run] = 0;
            red[channel * run + width + 1] = 0;
        }
        channelLevels(line, width, run, red + 1);
    }
    const size_t zerosNeeded = std::max<size_t>(pitch, 3 * (kChunk + 2)) + kSlack;
    if (zeros.size() < zerosNeeded)
        zeros.assign(zerosNeeded, 0);
}

// Cell counts from the bins, a block of 8 rows at a time: the votes of each
// column over the block, then the sums of 8 columns.
void LevelDescriptor::Data::sumCells()
{
    cells.resize(cellsAt(static_cast<int>(rowPhases.size()), 0));
    votes.resize(static_cast<size_t>(width));
    for (size_t qi = 0; qi < rowPhases.size(); ++qi) {
        const int q = rowPhases[qi];
        for (int h = 0; h < (height - q) / kCellSize; ++h) {
            blockVotes(binsOfRow(q + h * kCellSize), width, width, votes.data());
            for (size_t pi = 0; pi < columnPhases.size(); ++pi) {
                const int p = columnPhases[pi];
                double* out = cells.data() + cellsAt(static_cast<int>(qi), static_cast<int>(pi)) +
                              static_cast<size_t>(h) * blockCols * kBins;
                for (int g = 0; g < (width - p) / kCellSize; ++g) {
                    std::uint64_t sum = 0;
                    for (int x = p + g * kCellSize; x < p + (g + 1) * kCellSize; ++x)
                        sum += votes[x];
                    std::uint8_t counts[kBins];
                    countsOfVotes(sum, counts);
                    for (int b = 0; b < kBins; ++b)
                        out[g * kBins + b] = counts[b];
                }
            }
        }
    }
}

void LevelDescriptor::Data::describeEdgeRows(const Cuts& cuts)
{
    top.resize(topAt(rows, 0));
    bottom.resize(topAt(rows, 0));
    rowEdge.resize(static_cast<size_t>(width));
    for (int r = 0; r < rows; ++r) {
        for (int side = 0; side < 2; ++side) {
            const bool isTop = side == 0;
            const int y = r * stride + (isTop ? 0 : kWindowHeight - 1);
            if (isTop)
                rowBins(zeros.data(), row(y), row(y + 1), run, width, cuts, rowEdge.data());
            else
                rowBins(row(y - 1), row(y), zeros.data(), run, width, cuts, rowEdge.data());
            // The cell row that holds row y.
            const int first = r * stride + (isTop ? 0 : kWindowHeight - kCellSize);
            const int qi = rowPhaseIndex[first % kCellSize];
            const size_t h = first / kCellSize;
            for (size_t pi = 0; pi < columnPhases.size(); ++pi) {
                const int p = columnPhases[pi];
                double* out = (isTop ? top : bottom).data() + topAt(r, static_cast<int>(pi));
                const double* plain =
                    cells.data() + cellsAt(qi, static_cast<int>(pi)) + h * blockCols * kBins;
                for (int g = 0; g < (width - p) / kCellSize; ++g) {
                    const int x = p + g * kCellSize;
                    edgeCell(rowEdge.data() + x, binsOfRow(y) + x, 1, kCellSize, plain + g * kBins,
                             out + g * kBins);
                }
            }
            for (int c = 0; c < columns; ++c) {
                const int x = c * stride;
                corners[cornersAt(r, c, isTop ? 0 : 2) + 1] = rowEdge[x];
                corners[cornersAt(r, c, isTop ? 1 : 3) + 1] = rowEdge[x + kWindowWidth - 1];
            }
        }
    }
}

// The edge columns' bins a row at a time: each row's values in every edge
// column and in its neighbour inside the window are gathered once, and the
// three rows around a row give its edge pixels' bins.
void LevelDescriptor::Data::describeEdgeColumns(const Cuts& cuts)
{
    const int edges = 2 * columns;
    const std::ptrdiff_t span = edges + kSlack;
    columnEdge.resize(static_cast<size_t>(height) * edges);
    columnInner.resize(static_cast<size_t>(height) * edges);
    // Three rows, each the values of the edge columns and then of their
    // neighbours, three channels of each; row y in slot (y + 1) % 3.
    Level* gathered = edgeValues.resize(3 * 6 * static_cast<size_t>(span));
    const auto slot = [&](int y) { return gathered + (y + 1) % 3 * 6 * span; };
    const auto gather = [&](int y) {
        const Level* line = row(y); // the zero row for -1 and height
        Level* out = slot(y);
        for (int channel = 0; channel < 3; ++channel) {
            Level* edge = out + channel * span;
            Level* inside = out + (3 + channel) * span;
            // Pixel x of the channel is at x + 1 in its run.
            const Level* values = line + channel * run + 1;
            for (int c = 0; c < columns; ++c) {
                edge[c] = values[c * stride];
                inside[c] = values[c * stride + 1];
                edge[columns + c] = values[c * stride + kWindowWidth - 1];
                inside[columns + c] = values[c * stride + kWindowWidth - 2];
            }
            std::fill_n(edge + edges, kSlack, Level(0));
            std::fill_n(inside + edges, kSlack, Level(0));
        }
    };
    gather(-1);
    gather(0);
    for (int y = 0; y < height; ++y) {
        gather(y + 1);
        const Level* above = slot(y - 1);
        const Level* at = slot(y);
        const Level* below = slot(y + 1);
        for (int side = 0; side < 2; ++side) {
            const int k = side * columns;
            edgeColumnBins(above + k, below + k, above + 3 * span + k, at + 3 * span + k,
                           below + 3 * span + k, span, side == 0 ? -1 : 1, columns, cuts,
                           columnEdge.data() + static_cast<size_t>(y) * edges + k);
        }
        const std::uint8_t* line = binsOfRow(y);
        std::uint8_t* inner = columnInner.data() + static_cast<size_t>(y) * edges;
        for (int c = 0; c < columns; ++c) {
            inner[c] = line[c * stride];
            inner[columns + c] = line[c * stride + kWindowWidth - 1];
        }
    }

    left.resize(leftAt(columns, 0));
    right.resize(leftAt(columns, 0));
    for (int k = 0; k < edges; ++k) {
        const bool isLeft = k < columns;
        const int c = isLeft ? k : k - columns;
        const std::uint8_t* edgeBins = columnEdge.data() + k;
        const std::uint8_t* innerBins = columnInner.data() + k;
        // The cell column that holds the edge column.
        const int first = c * stride + (isLeft ? 0 : kWindowWidth - kCellSize);
        const int pi = columnPhaseIndex[first % kCellSize];
        const int g = first / kCellSize;
        for (size_t qi = 0; qi < rowPhases.size(); ++qi) {
            const int q = rowPhases[qi];
            double* out = (isLeft ? left : right).data() + leftAt(c, static_cast<int>(qi));
            const double* plain = cells.data() + cellsAt(static_cast<int>(qi), pi) + g * kBins;
            for (int h = 0; h < (height - q) / kCellSize; ++h) {
                const size_t y = q + h * kCellSize;
                edgeCell(edgeBins + y * edges, innerBins + y * edges, edges, kCellSize,
                         plain + static_cast<size_t>(h) * blockCols * kBins, out + h * kBins);
            }
        }
        for (int r = 0; r < rows; ++r) {
            const size_t y = static_cast<size_t>(r) * stride;
            corners[cornersAt(r, c, isLeft ? 0 : 1) + 2] = edgeBins[y * edges];
            corners[cornersAt(r, c, isLeft ? 2 : 3) + 2] =
                edgeBins[(y + kWindowHeight - 1) * edges];
        }
    }
}

// A corner pixel keeps three neighbours: h beside it, v above or below it and
// the diagonal one between. Its responses are X = sx (2v + diagonal) and
// Y = sy (2h + diagonal), sx -1 at the top and sy -1 at the left.
void LevelDescriptor::Data::describeCorners(const Cuts& cuts)
{
    const std::ptrdiff_t channel = columns + kSlack;
    responses.resize(6 * static_cast<size_t>(channel));
    rowEdge.resize(static_cast<size_t>(std::max(width, columns)));
    Level* X = responses.data();
    Level* Y = X + 3 * channel;
    for (int r = 0; r < rows; ++r) {
        for (int corner = 0; corner < 4; ++corner) {
            const bool isTop = corner < 2;
            const bool isLeft = corner % 2 == 0;
            const int y = r * stride + (isTop ? 0 : kWindowHeight - 1);
            const Level* beside = row(y);
            const Level* across = row(isTop ? y + 1 : y - 1);
            const int sx = isTop ? -1 : 1;
            const int sy = isLeft ? -1 : 1;
            for (int c = 0; c < columns; ++c) {
                const int x = c * stride + (isLeft ? 0 : kWindowWidth - 1);
                const int n = isLeft ? x + 1 : x - 1;
                for (int k = 0; k < 3; ++k) {
                    const int h = beside[k * run + n + 1];
                    const int v = across[k * run + x + 1];
                    const int diagonal = across[k * run + n + 1];
                    X[k * channel + c] = static_cast<Level>(sx * (2 * v + diagonal));
                    Y[k * channel + c] = static_cast<Level>(sy * (2 * h + diagonal));
                }
            }
            for (int k = 0; k < 3; ++k) {
                std::fill_n(X + k * channel + columns, kChunk, Level(0));
                std::fill_n(Y + k * channel + columns, kChunk, Level(0));
            }
            responseBins(X, Y, channel, columns, cuts, rowEdge.data());
            for (int c = 0; c < columns; ++c) {
                const int x = c * stride + (isLeft ? 0 : kWindowWidth - 1);
                std::uint8_t* out = &corners[cornersAt(r, c, corner)];
                out[0] = rowEdge[c];
                out[3] = binsOfRow(y)[x];
            }
        }
    }
}

// Windows c to c + N - 1 of row r. A window's cell row is its edge columns'
// cells and the 8 cells between from its top or bottom cell row or the plain
// cells.
template <int N>
void LevelDescriptor::Data::scoreGroup(int r, int c, const double* w, double* out) const
{
    const int y = r * stride;
    const int qi = rowPhaseIndex[y % kCellSize];
    const int h0 = y / kCellSize;
    const size_t cellRow = static_cast<size_t>(blockCols) * kBins;
    const double* plain[N];
    const double* topRow[N];
    const double* bottomRow[N];
    const double* leftColumn[N];
    const double* rightColumn[N];
    for (int n = 0; n < N; ++n) {
        const int x = (c + n) * stride;
        const int pi = columnPhaseIndex[x % kCellSize];
        const int g0 = x / kCellSize;
        plain[n] = cells.data() + cellsAt(qi, pi) + h0 * cellRow + g0 * kBins;
        topRow[n] = top.data() + topAt(r, pi) + g0 * kBins;
        bottomRow[n] = bottom.data() + topAt(r, pi) + g0 * kBins;
        leftColumn[n] = left.data() + leftAt(c + n, qi) + h0 * kBins;
        rightColumn[n] = right.data() + leftAt(c + n, qi) + h0 * kBins;
    }
    Quad sums[N];
    for (int n = 0; n < N; ++n)
        sums[n] = Quad{0, 0, 0, 0};
    constexpr int inner = (kCellCols - 2) * kBins;
    for (int i = 0; i < kCellRows; ++i) {
        const double* weights = w + i * kRowWeights;
        const double* start[N];
        const double* middle[N];
        const double* end[N];
        for (int n = 0; n < N; ++n) {
            start[n] = leftColumn[n] + i * kBins;
            middle[n] = (i == 0               ? topRow[n]
                         : i == kCellRows - 1 ? bottomRow[n]
                                              : plain[n] + i * cellRow) +
                        kBins;
            end[n] = rightColumn[n] + i * kBins;
        }
        addProducts<N>(weights, start, kBins, sums);
        addProducts<N>(weights + kBins, middle, inner, sums);
        addProducts<N>(weights + kBins + inner, end, kBins, sums);
    }
    for (int n = 0; n < N; ++n) {
        const Quad s = sums[n];
        double score = (s[0] + s[1]) + (s[2] + s[3]);
        // A corner cell: its edge row's cell less its plain cell, which its
        // edge column's cell holds already, and the corner pixel's own bins.
        for (int corner = 0; corner < 4; ++corner) {
            const bool isTop = corner < 2;
            const int j = corner % 2 == 0 ? 0 : kCellCols - 1;
            const double* edgeRow = (isTop ? topRow[n] : bottomRow[n]) + j * kBins;
            const double* cell = plain[n] + (isTop ? 0 : (kCellRows - 1) * cellRow) + j * kBins;
            const double* cw = w + kCornerCells[corner] * kBins;
            for (int b = 0; b < kBins; ++b)
                score += cw[b] * (edgeRow[b] - cell[b]);
            const std::uint8_t* bin = &corners[cornersAt(r, c + n, corner)];
            score += (cw[bin[0]] - cw[bin[1]]) - (cw[bin[2]] - cw[bin[3]]);
        }
        out[c + n] = score;
    }
}

void LevelDescriptor::Data::scoreRow(int r, const double* w, double* out) const
{
    int c = 0;
    for (; c + 8 <= columns; c += 8)
        scoreGroup<8>(r, c, w, out);
    for (; c < columns; ++c)
        scoreGroup<1>(r, c, w, out);
}

LevelDescriptor::LevelDescriptor() : d(std::make_unique<Data>()) {}

LevelDescriptor::LevelDescriptor(const QImage& image, int stride) : LevelDescriptor()
{
    describe(image, stride);
}

LevelDescriptor::~LevelDescriptor() = default;

void LevelDescriptor::describe(const QImage& image, int stride)
{
    assert(stride >= 1);
    assert(image.isNull() || image.format() == QImage::Format_RGB32 ||
           image.format() == QImage::Format_ARGB32);
    d->width = image.width();
    d->height = image.height();
    d->stride = stride;
    d->rows = 0;
    d->columns = 0;
    if (d->width < kWindowWidth || d->height < kWindowHeight)
        return;
    d->rows = (d->height - kWindowHeight) / stride + 1;
    d->columns = (d->width - kWindowWidth) / stride + 1;
    d->rowPhases = phasesOf(stride, d->rows, d->rowPhaseIndex);
    d->columnPhases = phasesOf(stride, d->columns, d->columnPhaseIndex);
    d->blockRows = d->height / kCellSize;
    d->blockCols = d->width / kCellSize;
    d->corners.resize(d->cornersAt(d->rows, 0, 0));

    const Cuts& cuts = orientationCuts();
    d->readPlanes(image);
    d->bins.resize(static_cast<size_t>(d->width) * d->height);
    for (int y = 0; y < d->height; ++y)
        rowBins(d->row(y - 1), d->row(y), d->row(y + 1), d->run, d->width, cuts,
                d->bins.data() + static_cast<size_t>(y) * d->width);
    d->sumCells();
    d->describeEdgeRows(cuts);
    d->describeEdgeColumns(cuts);
    d->describeCorners(cuts);
}

int LevelDescriptor::rows() const
{
    return d->rows;
}

int LevelDescriptor::columns() const
{
    return d->columns;
}

void LevelDescriptor::addWindow(int r, int c, int* hist) const
{
    assert(0 <= r && r < d->rows && 0 <= c && c < d->columns);
    const int y = r * d->stride;
    const int x = c * d->stride;
    const int qi = d->rowPhaseIndex[y % kCellSize];
    const int pi = d->columnPhaseIndex[x % kCellSize];
    const size_t cellRow = static_cast<size_t>(d->blockCols) * kBins;
    const double* plain =
        d->cells.data() + d->cellsAt(qi, pi) + y / kCellSize * cellRow + x / kCellSize * kBins;
    const double* top = d->top.data() + d->topAt(r, pi) + x / kCellSize * kBins;
    const double* bottom = d->bottom.data() + d->topAt(r, pi) + x / kCellSize * kBins;
    const double* left = d->left.data() + d->leftAt(c, qi) + y / kCellSize * kBins;
    const double* right = d->right.data() + d->leftAt(c, qi) + y / kCellSize * kBins;
    for (int i = 0; i < kCellRows; ++i) {
        for (int j = 0; j < kCellCols; ++j) {
            const double* counts = j == 0               ? left + i * kBins
                                   : j == kCellCols - 1 ? right + i * kBins
                                   : i == 0             ? top + j * kBins
                                   : i == kCellRows - 1 ? bottom + j * kBins
                                                        : plain + i * cellRow + j * kBins;
            for (int b = 0; b < kBins; ++b)
                hist[(i * kCellCols + j) * kBins + b] += static_cast<int>(counts[b]);
        }
    }
    for (int corner = 0; corner < 4; ++corner) {
        const bool isTop = corner < 2;
        const int j = corner % 2 == 0 ? 0 : kCellCols - 1;
        const double* edgeRow = (isTop ? top : bottom) + j * kBins;
        const double* cell = plain + (isTop ? 0 : (kCellRows - 1) * cellRow) + j * kBins;
        int* counts = hist + kCornerCells[corner] * kBins;
        for (int b = 0; b < kBins; ++b)
            counts[b] += static_cast<int>(edgeRow[b] - cell[b]);
        const std::uint8_t* bin = &d->corners[d->cornersAt(r, c, corner)];
        ++counts[bin[0]];
        --counts[bin[1]];
        --counts[bin[2]];
        ++counts[bin[3]];
    }
}

void LevelDescriptor::scoreWindows(const double* w, double* scores) const
{
    for (int r = 0; r < d->rows; ++r)
        d->scoreRow(r, w, scores + static_cast<size_t>(r) * d->columns);
}
